// The macro window: the table as the file holds it, the highlight, editing, and the file
// written at every close.
#include "app/dialogs/tests/driver.h"
#include "macro/tests/macro_fixture.h"

using namespace tovn;
using namespace tovn::test;

namespace {

const std::string kJapanese = "ECHO \x83\x7D\x83\x4E\x83\x8D"; // "ECHO マクロ" in code page 932

RECT ClientRectIn(HWND child) {
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace

class MacroWindow : public MacroFixture {};

TEST_F(MacroWindow, ShowsTheTableAsTheFileHoldsIt) {
    StartWithPictures(2, 2);
    WriteMacros({"COPY $M SUB", "", "DEL $M", kJapanese});
    TfrmMcr& f = Open();
    wchar_t caption[64] = {};
    ::GetWindowTextW(f.Handle(), caption, 64);
    EXPECT_STREQ(caption, L"TOVANE 32 マクロ");
    RECT client;
    ::GetClientRect(f.Handle(), &client);
    EXPECT_EQ(client.right, 593);
    EXPECT_EQ(client.bottom, 297);
    const LONG_PTR ex = ::GetWindowLongPtrW(f.Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(::GetWindowLongPtrW(f.Handle(), GWL_STYLE) & WS_SYSMENU);

    struct Place {
        int slot;
        const wchar_t* key;
        int keyLeft, textLeft, top;
    } places[] = {{1, L"A:", 8, 32, 0},
                  {18, L"R:", 8, 32, 272},
                  {19, L"S:", 304, 328, 0},
                  {27, L"1:", 304, 328, 128},
                  {36, L"0:", 304, 328, 272}};
    for (const Place& p : places) {
        SCOPED_TRACE(p.slot);
        EXPECT_EQ(LabelText(f.KeyLabel(p.slot)), p.key);
        RECT k = ClientRectIn(f.KeyLabel(p.slot)), t = ClientRectIn(f.SlotLabel(p.slot));
        EXPECT_EQ(k.left, p.keyLeft);
        EXPECT_EQ(k.top, p.top);
        EXPECT_EQ(k.right - k.left, 20);
        EXPECT_EQ(t.left, p.textLeft);
        EXPECT_EQ(t.top, p.top);
        EXPECT_EQ(t.right - t.left, 260);
        EXPECT_EQ(t.bottom - t.top, 18);
    }
    EXPECT_EQ(LabelText(f.SlotLabel(1)), L"COPY $M SUB");
    EXPECT_EQ(LabelText(f.SlotLabel(3)), L"DEL $M");
    EXPECT_EQ(LabelText(f.SlotLabel(4)), L"ECHO マクロ");
    EXPECT_EQ(f.CurrentSlot(), 1);
    EXPECT_EQ(f.SlotColour(1), kBlue);
    EXPECT_EQ(f.SlotColour(2), kBlack);
    EXPECT_EQ(f.MacroList().size(), 36u);
}

TEST_F(MacroWindow, ArrowsMoveTheHighlightThroughBothColumnsAndStopAtTheEnds) {
    StartWithPictures(1, 2);
    TfrmMcr& f = Open();
    struct Step {
        WORD key;
        int slot;
    } steps[] = {{VK_UP, 1},    {VK_LEFT, 1}, {VK_RIGHT, 19}, {VK_RIGHT, 19}, {VK_UP, 18},
                 {VK_DOWN, 19}, {VK_LEFT, 1}, {VK_DOWN, 2},   {VK_RIGHT, 20}, {VK_LEFT, 2}};
    for (const Step& s : steps) {
        f.FormKeyDown(s.key);
        EXPECT_EQ(f.CurrentSlot(), s.slot) << s.key;
    }
    for (int i = 0; i < 40; ++i) f.FormKeyDown(VK_DOWN);
    EXPECT_EQ(f.CurrentSlot(), 36);
    for (int slot = 1; slot <= 36; ++slot)
        EXPECT_EQ(f.SlotColour(slot), slot == 36 ? kBlue : kBlack) << slot;
    f.FormKeyDown('X'); // other keys do nothing here
    EXPECT_EQ(f.CurrentSlot(), 36);
    EXPECT_EQ(f.ModalResult(), 0);
}

TEST_F(MacroWindow, InsertEditsTheHighlightedSlotCancelKeepsItDeleteClearsIt) {
    StartWithPictures(1, 2);
    WriteMacros({"", kJapanese});
    TfrmMcr& f = Open();
    f.FormKeyDown(VK_DOWN);
    dialogs.inputAnswers = {std::wstring(L"COPY $M 写真"), std::nullopt, std::wstring(300, L'x')};
    f.FormKeyDown(VK_INSERT);
    ASSERT_EQ(dialogs.inputs.size(), 1u);
    EXPECT_EQ(dialogs.inputs[0].caption, L"Input Tovane 32 MCR");
    EXPECT_EQ(dialogs.inputs[0].prompt, L"マクロを入力して下さい．");
    EXPECT_EQ(dialogs.inputs[0].initial, L"ECHO マクロ");
    EXPECT_EQ(f.MacroList()[1], "COPY $M \x8E\xCA\x90\x5E");
    EXPECT_EQ(LabelText(f.SlotLabel(2)), L"COPY $M 写真");

    f.FormKeyDown(VK_INSERT); // cancelled
    EXPECT_EQ(dialogs.inputs[1].initial, L"COPY $M 写真");
    EXPECT_EQ(f.MacroList()[1], "COPY $M \x8E\xCA\x90\x5E");

    // The box itself stops typing at 255 characters; what it returns (here a longer macro
    // kept from the file) is stored whole.
    f.FormKeyDown(VK_INSERT);
    EXPECT_EQ(dialogs.inputs[2].maxLength, 255u);
    EXPECT_EQ(f.MacroList()[1], std::string(300, 'x'));

    f.FormKeyDown(VK_DELETE);
    EXPECT_EQ(f.MacroList()[1], "");
    EXPECT_EQ(LabelText(f.SlotLabel(2)), L"");
    EXPECT_EQ(f.ModalResult(), 0);
    EXPECT_EQ(MacroFile(), "\r\n" + kJapanese + "\r\n"); // nothing written before the close
}

TEST_F(MacroWindow, EscapeAfterEditsSavesThemAndExtraLinesGoBackUnchanged) {
    StartWithPictures(1, 2);
    std::vector<std::string> lines;
    for (int i = 1; i <= 40; ++i) lines.push_back(i % 7 ? "ECHO " + std::to_string(i) : kJapanese);
    WriteMacros(lines);
    const std::string original = MacroFile();

    Open().FormKeyDown(VK_ESCAPE); // no edit: the same bytes
    EXPECT_EQ(form->ModalResult(), IDCANCEL);
    EXPECT_EQ(MacroFile(), original);

    TfrmMcr& f = Open();
    EXPECT_EQ(f.MacroList().size(), 40u);
    f.FormKeyDown(VK_DELETE);
    f.FormKeyDown(VK_ESCAPE);
    EXPECT_EQ(MacroFile(), original.substr(original.find("\r\n")));
    EXPECT_EQ(Batch(), "<missing>"); // nothing ran
}

TEST_F(MacroWindow, MissingOrShortFilesGiveThirtySixSlotsAndAreWrittenWhole) {
    StartWithPictures(1, 2);
    Open().FormKeyDown(VK_ESCAPE);
    std::string empty;
    for (int i = 0; i < 36; ++i) empty += "\r\n";
    EXPECT_EQ(MacroFile(), empty);

    WriteMacros({"ECHO 1"});
    Open().FormKeyDown(VK_ESCAPE);
    EXPECT_EQ(MacroFile(), "ECHO 1" + empty);
}

// A file the window cannot hold whole (here a sparse one past 2 GB) is read as far as its
// slots go and never written over.
TEST_F(MacroWindow, AFileItCannotReadWholeIsShownAsFarAsItGoesAndNotWrittenOver) {
    StartWithPictures(1, 2);
    const std::wstring path = program / L"Tovn32.MCR";
    WriteMacros({"ECHO 1", kJapanese});
    const LONGLONG huge = 0x8C000000; // 2.2 GB, its tail all zeros
    {
        UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER end{};
        end.QuadPart = huge;
        ASSERT_TRUE(::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file.get()));
    }
    TfrmMcr& f = Open();
    ASSERT_EQ(f.MacroList().size(), 36u);
    EXPECT_EQ(f.MacroList()[0], "ECHO 1");
    EXPECT_EQ(f.MacroList()[1], kJapanese);
    EXPECT_EQ(f.MacroList()[2], "");
    f.FormKeyDown(VK_DELETE);
    f.FormKeyDown(VK_ESCAPE);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ((LONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow, huge);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"I/O Error");
    ::DeleteFileW(path.c_str());
}

TEST_F(MacroWindow, ShownModallyOverTheDisabledBrowserBlueOnTheHighlight) {
    StartWithPictures(1, 2);
    WriteMacros({"ECHO A"});
    TfrmMcr& f = Open();
    bool ownerEnabled = true;
    COLORREF highlight = 0, other = 0;
    OnShown hook([&](HWND w) {
        ownerEnabled = ::IsWindowEnabled(::GetWindow(w, GW_OWNER));
        ::UpdateWindow(w);
        WindowDc first(f.SlotLabel(1)), second(f.SlotLabel(2));
        highlight = ::GetPixel(first.get(), 250, 8);
        other = ::GetPixel(second.get(), 250, 8);
        ::PostMessageW(w, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(f.ShowModal(), IDCANCEL);
    EXPECT_EQ(hook.Calls(), 1);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(w().Handle()));
    EXPECT_EQ(highlight, kBlue);
    EXPECT_EQ(other, kBlack);
}

// A quit while the window is open closes it as Esc does (the macros are written) and is
// left for the loop outside.
TEST_F(MacroWindow, QuitWhileOpenClosesItAsCancelledAndLeavesTheQuitOutside) {
    StartWithPictures(1, 2);
    WriteMacros({"ECHO A"});
    TfrmMcr& f = Open();
    OnShown hook([](HWND) { ::PostQuitMessage(5); });
    EXPECT_EQ(f.ShowModal(), IDCANCEL);
    EXPECT_EQ(hook.Calls(), 1);
    std::string written = "ECHO A";
    for (int i = 0; i < 36; ++i) written += "\r\n";
    EXPECT_EQ(MacroFile(), written);
    EXPECT_TRUE(::IsWindowEnabled(w().Handle()));
    EXPECT_FALSE(::IsWindowVisible(f.Handle()));
    EXPECT_EQ(TakeQuit(), 5);
}
