#include "support/on_shown.h"
#include "editor/tests/editor_fixture.h"
#include "partsave/psbat.h"
#include <array>

using namespace tovn;
using namespace tovn::test;

// The part-save window over a real editor on a 640 x 400 picture; the outside tools'
// folder is a scratch folder.
class PartSave : public EditorFixture {
protected:
    void SetUp() override {
        StartOnMag(L"A.MAG");
        Open();
    }
    std::wstring PsPath() const { return program / L"Tovn32.PS"; }
    void WritePs(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& l : lines) text += l + "\r\n";
        WriteBytes(PsPath(), text);
    }
    TfrmPsbat& Show() {
        form = std::make_unique<TfrmPsbat>(editor->Handle(), *editor,
                                           PartSavePlaces{PsPath(), tools.Path(), st().BackupDir});
        EXPECT_TRUE(form->Create());
        return *form;
    }
    void Keys(std::initializer_list<WORD> keys, unsigned shift = 0) {
        for (WORD k : keys) form->FormKeyDown(k, shift);
    }
    std::string Line(int n) {
        std::string text = ReadBytes(PsPath());
        size_t start = 0;
        for (int i = 0; i < n; ++i) start = text.find("\r\n", start) + 2;
        return text.substr(start, text.find("\r\n", start) - start);
    }

    TestFolder tools{L"tools"};
    std::unique_ptr<TfrmPsbat> form;
};

TEST_F(PartSave, InsertStoresTheEditorsSettingsUnderAName) {
    editor->Settings().bKage = false;
    editor->Settings().Kage = 77;
    dialogs.inputAnswers.push_back(std::wstring(L"Ti,tle"));
    TfrmPsbat& f = Show();
    Keys({VK_DOWN, VK_INSERT});
    EXPECT_TRUE(f.Closed());
    EXPECT_EQ(f.ModalResult(), IDOK);
    ASSERT_EQ(dialogs.inputs.size(), 1u);
    EXPECT_EQ(dialogs.inputs[0].caption, L"Input Part Save");
    EXPECT_EQ(dialogs.inputs[0].prompt, L"Input PS Name");
    const EditSettings& s = editor->Settings();
    const std::string want = "Title,48,302,591,375,4," + std::to_string(s.Nuri) + "," +
                             std::to_string(s.Ami) + "," + std::to_string(s.Mozi) + ",77,1,1,1,0";
    EXPECT_EQ(Line(1), want);
    EXPECT_EQ(Line(0), "");
}

TEST_F(PartSave, InsertCancelledKeepsTheEntryAndClosesWithOk) {
    WritePs({"OLD,0,0,63,21,4,1,2,3,4"});
    TfrmPsbat& f = Show();
    Keys({VK_INSERT}); // the name query answers Cancel
    EXPECT_EQ(f.ModalResult(), IDOK);
    EXPECT_EQ(Line(0), "OLD,0,0,63,21,4,1,2,3,4");
}

TEST_F(PartSave, EnterAppliesATenFieldEntryAndRewritesOnlyExistingBatchFiles) {
    st().BackupDir = L"C:\\BACK\\";
    WritePs({"", "", "T,16,40,207,99,2,1,2,3,4"});
    WriteBytes(tools / L"01PSS.BAT",
               "old text that is longer than the new one........................"
               "................................................");
    TfrmPsbat& f = Show();
    Keys({VK_RETURN}); // an empty entry does nothing
    EXPECT_FALSE(f.Closed());
    Keys({VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(f.ModalResult(), IDOK);
    const EditSettings& s = editor->Settings();
    EXPECT_EQ(s.StartX, 16);
    EXPECT_EQ(s.EndY, 99);
    EXPECT_EQ(s.Gyoukan, 2);
    EXPECT_FALSE(s.bNuri || s.bAmi || s.bMozi || s.bKage); // every layer drawn
    EXPECT_EQ(s.Nuri >> 24, 1); // the swatches were drawn: colours name palette entries
    EXPECT_EQ(ReadBytes(tools / L"01PSS.BAT"),
              "COPY %1.MAG C:\\BACK\r\nA:\\TOOL\\GRAPH\\TEAM %1\r\n"
              "A:\\TOOL\\GRAPH\\MAGDSAVE -b- -p=%1 -s16,40,207,99 %1\r\n");
    EXPECT_FALSE(FileExists(tools / L"10PSS256.BAT"));
}

TEST_F(PartSave, ShiftInsertSnapsTheRectangleToTheColumnGrid) {
    WritePs({"N,50,100,590,200,4,1,2,3,4,1,1,1,1"});
    TfrmPsbat& f = Show();
    Keys({VK_INSERT}, ssShift); // the box answers Cancel: its default is taken
    EXPECT_EQ(f.ModalResult(), IDOK);
    ASSERT_EQ(dialogs.inputs.size(), 1u);
    EXPECT_EQ(dialogs.inputs[0].caption, L"Change Part Save");
    EXPECT_EQ(dialogs.inputs[0].initial, L"N,50,100,590,200,4,1,2,3,4,1,1,1,1");
    EXPECT_EQ(editor->Settings().StartX, 48);
    EXPECT_EQ(editor->Settings().EndX, 591);
    EXPECT_EQ(Line(0).substr(0, 17), "N,48,100,591,200,");
    EXPECT_EQ(Line(0).substr(Line(0).size() - 8), ",1,1,1,1");
}

TEST_F(PartSave, AnEntryWithABadFieldChangesNothing) {
    WritePs({"N,8,16,x,60,4,1,2,3,4,0,0,0,0"});
    TfrmPsbat& f = Show();
    Keys({VK_RETURN});
    EXPECT_FALSE(f.Closed());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"Part Save Error");
    EXPECT_EQ(editor->Settings().StartX, 48);
    EXPECT_TRUE(editor->Settings().bNuri);
    // An edit the editor cannot take changes nothing in it, but the typed text is kept for
    // correcting.
    dialogs.inputAnswers.push_back(std::wstring(L"M,8,16,99,60,4,1,2,3"));
    Keys({VK_INSERT}, ssShift);
    EXPECT_FALSE(f.Closed());
    EXPECT_EQ(editor->Settings().EndX, 591);
    EXPECT_EQ(f.PartSaveList()[0], "M,8,16,99,60,4,1,2,3");
}

TEST_F(PartSave, TheFileRoundTripsByteForByteWithItsExtraLines) {
    std::vector<std::string> lines;
    for (int i = 0; i < 22; ++i)
        lines.push_back(i % 3 ? "E" + std::to_string(i) + ",1,2,3,4,5,6,7,8,9" : "");
    WritePs(lines);
    const std::string before = ReadBytes(PsPath());
    TfrmPsbat& f = Show();
    EXPECT_EQ(f.PartSaveList().size(), 22u);
    Keys({VK_ESCAPE});
    EXPECT_EQ(f.ModalResult(), IDCANCEL);
    EXPECT_EQ(ReadBytes(PsPath()), before);
}

// A list held by another program while the window opens is not written over with an empty one.
TEST_F(PartSave, AListThatCannotBeReadIsLeftAsItWas) {
    WritePs({"KEEP,1,2,3,4,5,6,7,8,9"});
    const std::string before = ReadBytes(PsPath());
    {
        UniqueFile held(
            ::CreateFileW(PsPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        Show();
    }
    Keys({VK_ESCAPE});
    EXPECT_EQ(ReadBytes(PsPath()), before);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"Write Error");
}

TEST_F(PartSave, MovingTheHighlightAndDeleting) {
    WritePs({"A,0,0,63,21,4,1,2,3,4"});
    TfrmPsbat& f = Show();
    Keys({VK_UP});
    EXPECT_EQ(f.CurrentEntry(), 0);
    Keys({VK_LEFT}); // left column: nothing
    EXPECT_EQ(f.CurrentEntry(), 0);
    Keys({VK_RIGHT, VK_DOWN, VK_DOWN});
    EXPECT_EQ(f.CurrentEntry(), 12);
    Keys({VK_RIGHT}); // right column: nothing
    EXPECT_EQ(f.CurrentEntry(), 12);
    Keys({VK_UP, VK_UP, VK_UP});
    EXPECT_EQ(f.CurrentEntry(), 9);
    Keys({VK_LEFT, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN,
          VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN});
    EXPECT_EQ(f.CurrentEntry(), 19);
    Keys({VK_SHIFT}); // other keys do nothing
    for (int i = 0; i < 19; ++i) Keys({VK_UP});
    Keys({VK_DELETE});
    EXPECT_FALSE(f.Closed());
    wchar_t text[64] = {};
    ::GetWindowTextW(f.Label(0), text, 64);
    EXPECT_STREQ(text, L"");
    Keys({VK_ESCAPE});
    EXPECT_EQ(Line(0), "");
}

// F1 in the editor opens the window modally; Enter there applies the entry, and the editor
// shows the new rectangle.
TEST_F(PartSave, F1AppliesAnEntryToTheOpenEditor) {
    WritePs({"T,16,40,207,99,7,1,2,3,4,1,1,1,1"});
    editor->partSaveToolFolder = tools.Path();
    HWND seen = nullptr;
    OnShown hook([&](HWND window) {
        seen = window;
        ::PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_TRUE(editor->FormKeyDown(VK_F1));
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(Caption(), pictures.Path() + L"A.MAG ( 16, 40)-(207, 99)");
    EXPECT_EQ(editor->DragRect().endX, 207);
    RECT memo{};
    ::GetWindowRect(editor->Memo(), &memo);
    EXPECT_EQ(memo.right - memo.left, 207 - 16 + 8);
    wchar_t gyou[8] = {};
    ::GetWindowTextW(editor->Control(TfrmEdit::idGyouLabel), gyou, 8);
    EXPECT_STREQ(gyou, L"7");
    EXPECT_TRUE(::IsWindowEnabled(editor->Handle()));
}

// A quit while the window is open closes it as Esc does: the entries as edited are written,
// the editor keeps its rectangle and enabled state, and the quit is left for the loop outside.
TEST_F(PartSave, QuitWhileOpenWritesTheEntriesAndClosesAsCancelled) {
    WritePs({"T,16,40,207,99,7,1,2,3,4,1,1,1,1", "U,0,0,100,100,7,1,2,3,4,1,1,1,1"});
    const std::wstring caption = Caption();
    OnShown hook([](HWND window) {
        ::PostMessageW(window, WM_KEYDOWN, VK_DELETE, 0);
        ::PostQuitMessage(4);
    });
    EXPECT_TRUE(editor->FormKeyDown(VK_F1));
    EXPECT_EQ(hook.Calls(), 1);
    EXPECT_EQ(Line(0), "");
    EXPECT_EQ(Line(1), "U,0,0,100,100,7,1,2,3,4,1,1,1,1");
    EXPECT_EQ(Caption(), caption);
    EXPECT_TRUE(::IsWindowEnabled(editor->Handle()));
    EXPECT_EQ(TakeQuit(), 4);
}

// An applied rectangle that does not lie in the picture, too wide or with its end before its
// start, is fitted to the picture before the editor draws its frame and takes it for the
// selection.
TEST_F(PartSave, AnAppliedRectangleOutsideThePictureIsFittedBeforeItIsDrawn) {
    editor->partSaveToolFolder = tools.Path();
    for (const char* entry : {"T,16,40,9999,99,7,1,2,3,4,1,1,1,1", "U,300,40,16,99,7,1,2,3,4"}) {
        WritePs({entry});
        OnShown hook([](HWND window) { ::PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0); });
        EXPECT_TRUE(editor->FormKeyDown(VK_F1));
        EXPECT_EQ(Caption(), pictures.Path() + L"A.MAG ( 64,200)-(576,360)") << entry;
        const tovn::DragRect& r = editor->DragRect();
        EXPECT_EQ((std::array<int, 4>{r.startX, r.startY, r.endX, r.endY}),
                  (std::array<int, 4>{64, 200, 576, 360}))
            << entry;
    }
}
