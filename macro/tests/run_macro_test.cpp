// Macros run through Wine's command interpreter over the browser's targets, in a folder
// and inside an archive, and the browser after the window closed.
#include "app/dialogs/tests/driver.h"
#include "archive/unlha.h"
#include "fileops/requests.h"
#include "place/shell_ops.h"
#include "macro/tests/macro_fixture.h"

using namespace tovn;
using namespace tovn::test;

class RunMacroTest : public MacroFixture {};

TEST_F(RunMacroTest, CopiesTheMarkedFilesWithTheFourBatchLinesAndClearsTheMarks) {
    StartWithPictures(3, 2);
    pictures.MakeFolder(L"SUB");
    Mark({0, 1});
    WriteMacros({"COPY $M SUB"});
    Open();
    Press(L'a');
    EXPECT_EQ(form->ModalResult(), IDOK);
    EXPECT_TRUE(InPictures(L"SUB\\P01.BMP"));
    EXPECT_TRUE(InPictures(L"SUB\\P02.BMP"));
    EXPECT_FALSE(InPictures(L"SUB\\P03.BMP"));
    EXPECT_EQ(Batch(), FolderLines(pictures.Path()) +
                           "@CALL COPY P01.BMP SUB\r\n@CALL COPY P02.BMP SUB\r\n");
    for (const Slot& s : st().FileList) EXPECT_EQ(s.mark, 0) << ToAnsi(s.name);
}

TEST_F(RunMacroTest, AKeyRunsItsSlotWhereverTheHighlightStandsAndTheApostropheNothing) {
    StartWithPictures(1, 2);
    WriteMacros({"ECHO A", "ECHO B"});
    TfrmMcr& f = Open();
    Press(L'\'');
    EXPECT_EQ(f.ModalResult(), 0);
    EXPECT_EQ(Batch(), "<missing>");
    Press(L'B');
    EXPECT_EQ(f.ModalResult(), IDOK);
    EXPECT_EQ(Batch(), FolderLines(pictures.Path()) + "@CALL ECHO B\r\n");
    EXPECT_EQ(f.SlotColour(1), kBlue);
    EXPECT_EQ(f.SlotColour(2), kBlack);
}

TEST_F(RunMacroTest, EmptySlotClosesWithOkAfterWritingOnlyTheFolderLines) {
    StartWithPictures(1, 2);
    TfrmMcr& f = Open();
    f.FormKeyDown(VK_RETURN);
    EXPECT_EQ(f.ModalResult(), IDOK);
    EXPECT_EQ(Batch(), FolderLines(pictures.Path()));
}

TEST_F(RunMacroTest, AMissingTargetWritesNoLineAndEmptiesItsSlot) {
    StartWithPictures(3, 2);
    pictures.MakeFolder(L"SUB");
    Mark({0, 1});
    ::DeleteFileW((pictures / L"P02.BMP").c_str()); // behind the program's back
    WriteMacros({"COPY $M SUB"});
    Open();
    Press(L'a');
    EXPECT_EQ(Batch(), FolderLines(pictures.Path()) + "@CALL COPY P01.BMP SUB\r\n");
    EXPECT_EQ(Name(1), L"");
    EXPECT_EQ(CellPixel(2), kGrey);
}

TEST_F(RunMacroTest, NamesWithBlanksAndSpecialCharactersReachTheCommandWhole) {
    StartWithFiles({L"a+b.BMP", L"A&B.BMP", L"MY PIC.BMP", L"PIC.BMP"}, 2);
    WriteTextFile(pictures / L"MY", "decoy");
    WriteTextFile(pictures / L"B.BMP", "decoy");
    WriteTextFile(pictures / L"a", "decoy");
    ASSERT_EQ(Name(2), L"MY PIC.BMP");
    Mark({0, 1, 2});
    WriteMacros({"DEL $M"});
    Open();
    Press(L'a');
    EXPECT_FALSE(InPictures(L"a+b.BMP"));
    EXPECT_FALSE(InPictures(L"A&B.BMP"));
    EXPECT_FALSE(InPictures(L"MY PIC.BMP"));
    for (const wchar_t* decoy : {L"MY", L"PIC.BMP", L"B.BMP", L"a"})
        EXPECT_TRUE(InPictures(decoy)) << ToAnsi(decoy);
}

// The code page has no snowman: written with a look-alike or "?", the line would act on
// other files; it goes by its short name. A called line would change a caret or a "%", and
// these names have no other: they are left out and the user told, but only where a line
// names the targets.
TEST_F(RunMacroTest, NamesABatchLineCannotCarryGoByTheirShortNameOrAreLeftOut) {
    StartWithFiles({L"A^B.BMP", L"X.BMP", L"\u2603.BMP", L"100%.BMP"}, 2);
    auto markAll = [&] {
        for (int i = 0; i < 4; ++i)
            if (Name(i) != L"X.BMP") core().SetMark(i, true);
    };
    markAll();
    WriteMacros({"ECHO NO TARGETS", "DEL $M"});
    Open();
    Press(L'a');
    EXPECT_TRUE(dialogs.messages.empty());
    form.reset();
    markAll();
    Open();
    Press(L'b');
    EXPECT_TRUE(InPictures(L"X.BMP"));
    EXPECT_FALSE(InPictures(L"\u2603.BMP"));
    EXPECT_TRUE(InPictures(L"A^B.BMP"));
    EXPECT_TRUE(InPictures(L"100%.BMP"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"Names Left Out");
    EXPECT_EQ(dialogs.messages[0].text.find(L"\u2603.BMP"), std::wstring::npos);
    EXPECT_NE(dialogs.messages[0].text.find(L"A^B.BMP"), std::wstring::npos);
    EXPECT_NE(dialogs.messages[0].text.find(L"100%.BMP"), std::wstring::npos);
}

// Pictures in a folder the code page cannot spell: a look-alike would name another folder,
// and a failed change of folder would leave the batch acting in the program's.
TEST_F(RunMacroTest, AFolderTheCodePageCannotSpellIsChangedIntoByItsShortName) {
    WriteSolidBmp(pictures.MakeFolder(L"caf\u00e9") + L"\\P1.BMP", 16, 12, 1, 2, 3);
    pictures.MakeFolder(L"cafe");
    WriteTextFile(pictures / L"cafe\\P1.BMP", "decoy");
    WriteTextFile(program / L"P1.BMP", "decoy");
    Start({pictures / L"caf\u00e9"});
    WriteMacros({"DEL $M"});
    Open();
    Press(L'a');
    EXPECT_TRUE(InPictures(L"cafe\\P1.BMP"));
    EXPECT_TRUE(FileExists(program / L"P1.BMP"));
    // Wine gives the folder a short name the batch changes into.
    EXPECT_FALSE(InPictures(L"caf\u00e9\\P1.BMP"));
}

TEST_F(RunMacroTest, ALineLongerThanTheInterpreterReadsRunsNothing) {
    for (int i = 0; i < 45; ++i)
        WriteSolidBmp(pictures / (std::to_wstring(100 + i) + std::wstring(196, L'X') + L".BMP"), 16,
                      12, 1, 2, 3);
    PutIni(L"Window", L"Img", L"3");
    Start();
    for (int i = 0; i < 45; ++i) core().SetMark(i, true);
    const std::wstring marker = program / L"RAN.TXT";
    WriteMacros({"ECHO $T > " + ToAnsi(marker)});
    Open();
    Press(L'a');
    EXPECT_EQ(form->ModalResult(), 0);
    EXPECT_FALSE(FileExists(marker));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"Batch Not Run");
}

TEST_F(RunMacroTest, AProgramWithoutBlanksIsStartedDirectlyAndWaitedFor) {
    StartWithPictures(1, 2);
    const std::wstring marker = program / L"MARKED.TXT";
    WriteTextFile(program / L"MARK.BAT", "@ECHO done> " + ToAnsi(marker) + "\r\n");
    WriteMacros({"@" + ToAnsi(program / L"MARK.BAT")});
    Open();
    Press(L'a');
    EXPECT_EQ(form->ModalResult(), IDOK);
    EXPECT_TRUE(FileExists(marker));
    EXPECT_EQ(Batch(L"TEMP2.BAT"), FolderLines(pictures.Path()));
    EXPECT_EQ(Batch(L"TEMP.BAT"), "<missing>");
}

TEST_F(RunMacroTest, ASecondRunWhileTheFirstGoesOnIsRefusedWithABeep) {
    StartWithPictures(1, 2);
    WriteMacros({"ECHO FIRST", "ECHO SECOND"});
    TfrmMcr& f = Open();
    // Arrives while the first run waits for its batch.
    ::PostMessageW(f.Handle(), WM_CHAR, L'b', 0);
    ::PostMessageW(f.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    f.FormKeyPress(L'a');
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_EQ(f.ModalResult(), IDOK);
    EXPECT_EQ(Batch(), FolderLines(pictures.Path()) + "@CALL ECHO FIRST\r\n");
}

TEST_F(RunMacroTest, ABatchFileThatCannotBeWrittenKeepsTheWindowOpen) {
    StartWithPictures(1, 2);
    program.MakeFolder(L"TEMP.BAT");
    WriteMacros({"ECHO A"});
    Open();
    Press(L'a');
    EXPECT_EQ(form->ModalResult(), 0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"I/O Error");
    EXPECT_EQ(dialogs.messages[0].owner, form->Handle());
}

TEST_F(RunMacroTest, AltOpensTheWindowAndAfterARunThePageShowsWhatTheMacroDid) {
    StartWithPictures(3, 2);
    Mark({0});
    WriteMacros({"DEL $M"});
    OnShown hook([](HWND w) { ::PostMessageW(w, WM_CHAR, L'a', 0); });
    Key(VK_MENU);
    EXPECT_EQ(hook.Calls(), 1);
    EXPECT_FALSE(InPictures(L"P01.BMP"));
    // The list is not read again: the removed file is drawn as a vanished file is, as the
    // placeholder with a beep, until the folder is read again.
    EXPECT_EQ(Name(0), L"P01.BMP");
    EXPECT_NE(CellPixel(1), kGrey);
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(CursorName(), L"P01.BMP");
    Key('S');
    EXPECT_EQ(CursorName(), L"P02.BMP");
    EXPECT_EQ(Status(3), pictures.Path() + L"P02.BMP");

    OnShown cancel([](HWND w) { ::PostMessageW(w, WM_KEYDOWN, VK_ESCAPE, 0); });
    Key(VK_MENU);
    EXPECT_EQ(cancel.Calls(), 1);
    EXPECT_TRUE(InPictures(L"P02.BMP"));
}

class ArchiveMacro : public RunMacroTest {
protected:
    ArchiveMacro() { LoadUnlha(); }
    ~ArchiveMacro() override {
        form.reset();
        window.reset();
        UnloadUnlha();
    }
    void SetUp() override {
        if (!UnlhaLoaded()) GTEST_SKIP() << "UNLHA32.DLL not found";
    }
    void StartInArchive(int files) {
        StartWithPictures(files, 2);
        std::vector<std::wstring> names;
        for (const Slot& s : st().FileList) names.push_back(s.name);
        RunUnlha(w().Handle(), ToAnsi(PackCommand(archive, pictures.Path(), names)));
        for (const std::wstring& name : names) ::DeleteFileW((pictures / name).c_str());
        EnterArchive(L"ARC.LZH");
        Key('S', ssShift);
        ASSERT_EQ(st().FileList.size(), static_cast<size_t>(files));
    }
    // Size and checksum of a member; size ~0 when the archive lacks it.
    FileDigest Member(const std::wstring& name) {
        IndividualInfo info;
        if (!FindArchiveEntry(w().Handle(), ToAnsi(archive), ToAnsi(name), &info))
            return {~0ull, 0};
        return {info.dwOriginalSize, static_cast<uint16_t>(info.dwCRC)};
    }
    FileDigest Digest(const std::wstring& path) {
        FileDigest d;
        ReadDigest(path, d);
        return d;
    }
    // A macro that replaces every target by another picture, as a converter would.
    void ReplaceTargetsMacro() {
        WriteSolidBmp(program / L"NEW.BMP", 40, 30, 10, 200, 30);
        WriteMacros({"COPY /Y " + ToAnsi(program / L"NEW.BMP") + " $M"});
    }
    std::wstring archive = pictures / L"ARC.LZH";
};

TEST_F(ArchiveMacro, ChangedCopiesGoBackIntoTheArchiveAndTheWorkFolderGoes) {
    StartInArchive(3);
    const FileDigest untouched = Member(L"P03.BMP");
    Mark({0, 1});
    ReplaceTargetsMacro();
    Open();
    Press(L'a');
    EXPECT_EQ(form->ModalResult(), IDOK);
    EXPECT_EQ(Batch(), FolderLines(st().TempDir) + "@CALL COPY /Y " + ToAnsi(program / L"NEW.BMP") +
                           " P01.BMP\r\n@CALL COPY /Y " + ToAnsi(program / L"NEW.BMP") +
                           " P02.BMP\r\n");
    const FileDigest changed = Digest(program / L"NEW.BMP");
    for (const wchar_t* name : {L"P01.BMP", L"P02.BMP"}) {
        EXPECT_EQ(Member(name).size, changed.size) << name;
        EXPECT_EQ(Member(name).crc, changed.crc) << name;
    }
    EXPECT_EQ(Member(L"P03.BMP").crc, untouched.crc);
    EXPECT_FALSE(PathExists(st().TempDir));
    EXPECT_TRUE(dialogs.messages.empty());
}

// Holds a file open without sharing, as another program might, from the moment the run
// waits for its batch (the first timer message the wait dispatches).
class LockWhileRunning {
public:
    explicit LockWhileRunning(std::wstring path) : path_(std::move(path)) {
        current = this;
        timer_ = ::SetTimer(nullptr, 0, 1, &Fire);
    }
    ~LockWhileRunning() {
        ::KillTimer(nullptr, timer_);
        current = nullptr;
    }
    void Release() { file_.reset(); }
    bool Locked() const { return static_cast<bool>(file_); }

private:
    static void CALLBACK Fire(HWND, UINT, UINT_PTR, DWORD) {
        if (current && !current->file_)
            current->file_ = UniqueFile(::CreateFileW(current->path_.c_str(), GENERIC_READ, 0,
                                                      nullptr, OPEN_EXISTING, 0, nullptr));
    }
    static inline LockWhileRunning* current = nullptr;
    std::wstring path_;
    UINT_PTR timer_ = 0;
    UniqueFile file_;
};

TEST_F(ArchiveMacro, CopiesTheArchiveCannotTakeBackAreKeptWhereNothingClearsThem) {
    StartInArchive(2);
    const FileDigest before = Member(L"P01.BMP");
    ReplaceTargetsMacro();
    Open();
    LockWhileRunning lock(archive);
    Press(L'a');
    EXPECT_TRUE(lock.Locked());
    lock.Release();
    EXPECT_EQ(form->ModalResult(), IDOK);
    EXPECT_EQ(Member(L"P01.BMP").crc, before.crc); // the archive as it was
    const std::wstring kept = st().TempDir.substr(0, st().TempDir.size() - 1) + L".1\\";
    EXPECT_EQ(Digest(kept + L"P01.BMP").crc, Digest(program / L"NEW.BMP").crc);
    EXPECT_FALSE(PathExists(st().TempDir));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"Files Kept");
    EXPECT_NE(dialogs.messages[0].text.find(kept), std::wstring::npos);
}

// What an earlier operation left in the work folder, at its top or in a folder of its own,
// goes before the run fills it, so the move back never carries it into this archive.
TEST_F(ArchiveMacro, LeftoversOfAnotherArchiveNeverGoIntoThisOne) {
    StartInArchive(2);
    ASSERT_TRUE(MakeFolderWithParents(st().TempDir + L"KEPT\\"));
    WriteSolidBmp(st().TempDir + L"A1.BMP", 8, 8, 1, 2, 3);
    WriteSolidBmp(st().TempDir + L"KEPT\\A2.BMP", 8, 8, 1, 2, 3);
    Mark({0});
    ReplaceTargetsMacro();
    Open();
    Press(L'a');
    EXPECT_EQ(form->ModalResult(), IDOK);
    EXPECT_EQ(Member(L"P01.BMP").crc, Digest(program / L"NEW.BMP").crc);
    EXPECT_EQ(Member(L"A1.BMP").size, ~0ull);
    EXPECT_EQ(Member(L"A2.BMP").size, ~0ull);
    EXPECT_FALSE(PathExists(st().TempDir));
    EXPECT_TRUE(dialogs.messages.empty());
}

// A work folder that cannot be emptied (another program holds a file in it) is not used.
TEST_F(ArchiveMacro, AWorkFolderThatCannotBeEmptiedStopsTheRun) {
    StartInArchive(1);
    const FileDigest before = Member(L"P01.BMP");
    ASSERT_TRUE(MakeFolderWithParents(st().TempDir));
    WriteSolidBmp(st().TempDir + L"OTHER.BMP", 8, 8, 1, 2, 3);
    ReplaceTargetsMacro();
    {
        UniqueFile held(::CreateFileW((st().TempDir + L"OTHER.BMP").c_str(), GENERIC_READ, 0,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        Open();
        Press(L'a');
    }
    EXPECT_EQ(form->ModalResult(), 0);
    EXPECT_EQ(Batch(), "<missing>");
    EXPECT_EQ(Member(L"P01.BMP").crc, before.crc);
    EXPECT_EQ(Member(L"OTHER.BMP").size, ~0ull);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"Work Folder Error");
}

TEST_F(ArchiveMacro, AProgramStartedDirectlyLeavesTheExtractedCopiesInTheWorkFolder) {
    StartInArchive(1);
    WriteMacros({"@" + ToAnsi(program / L"NOTHING.BAT")});
    WriteTextFile(program / L"NOTHING.BAT", "@REM\r\n");
    Open();
    Press(L'a');
    EXPECT_EQ(form->ModalResult(), IDOK);
    EXPECT_TRUE(FileExists(st().TempDir + L"P01.BMP"));
}
