// The file commands against the real archive library (UNLHA32.DLL beside the test).
#include "archive/unlha.h"
#include "fileops/requests.h"
#include "place/shell_ops.h"
#include "fileops/tests/file_fixture.h"

using namespace tovn;
using namespace tovn::test;

class ArchiveCommands : public FileFixture {
protected:
    ArchiveCommands() { LoadUnlha(); }
    ~ArchiveCommands() override {
        window.reset();
        UnloadUnlha();
    }
    void SetUp() override {
        if (!UnlhaLoaded()) GTEST_SKIP() << "UNLHA32.DLL not found";
    }
    // Packs the pictures of the folder into ARC.LZH there, removes the loose files and
    // opens the archive.
    void StartInArchive(int files, int n = 3) {
        StartWithPictures(files, n);
        std::vector<std::wstring> names;
        for (const Slot& s : st().FileList) names.push_back(s.name);
        Run(PackCommand(pictures / L"ARC.LZH", pictures.Path(), names));
        for (const std::wstring& name : names) ::DeleteFileW((pictures / name).c_str());
        EnterArchive(L"ARC.LZH");
        Key('S', ssShift);
        ASSERT_EQ(st().FileList.size(), static_cast<size_t>(files));
    }
    void Run(const std::wstring& command) { RunUnlha(w().Handle(), ToAnsi(command)); }
    bool Holds(const std::wstring& archive, const std::wstring& name) {
        return FindArchiveEntry(w().Handle(), ToAnsi(archive), ToAnsi(name));
    }
    bool InArchive(const std::wstring& name) { return Holds(pictures / L"ARC.LZH", name); }
    TestFolder dest{L"dest"};
};

TEST_F(ArchiveCommands, CtrlPackRemovesTheFilesOnceTheArchiveHoldsThem) {
    StartWithPictures(3, 2);
    st().BackupMode = 2;
    Key(VK_SPACE);
    Key(VK_SPACE);
    Answer({L"photos"});
    Choose(dest.Path());
    Key('P', ssCtrl);
    EXPECT_EQ(dialogs.inputs.at(0).caption, L"ファイル圧縮");
    EXPECT_EQ(dialogs.chooserRequests.at(0).purpose, L"Pack");
    std::wstring archive = dest / L"photos.LZH";
    EXPECT_TRUE(Holds(archive, L"P01.BMP"));
    EXPECT_TRUE(Holds(archive, L"P02.BMP"));
    EXPECT_FALSE(InPictures(L"P01.BMP"));
    EXPECT_FALSE(InPictures(L"P02.BMP"));
    EXPECT_FALSE(FileExists(dest / L"P01.BMP")); // gone for good, not backed up
    EXPECT_EQ(st().BackupMode, 2);
    EXPECT_EQ(Name(0), L"");
    EXPECT_EQ(CursorName(), L"P03.BMP");
    EXPECT_EQ(CellPixel(1), kGrey);
}

TEST_F(ArchiveCommands, CtrlPackKeepsTheFilesWhenPackingFailed) {
    StartWithPictures(2, 2);
    Answer({L"photos"});
    Choose(pictures / L"P02.BMP"); // a file, not a folder: no archive can be made there
    Key('P', ssCtrl);
    EXPECT_TRUE(InPictures(L"P01.BMP"));
    EXPECT_EQ(Name(0), L"P01.BMP");
    EXPECT_EQ(dialogs.messages.back().caption, L"Files Kept");
}

TEST_F(ArchiveCommands, PackAddsTheExtensionToTheTypedName) {
    StartWithPictures(1, 2);
    Answer({L"photos.lzh"});
    Choose(dest.Path());
    Key('P');
    EXPECT_TRUE(Holds(dest / L"photos.lzh.LZH", L"P01.BMP"));
    EXPECT_TRUE(InPictures(L"P01.BMP"));
    Answer({L""});
    Key('P'); // an empty name
    EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(ArchiveCommands, CopyAndMoveExtractAndMoveRemovesTheEntries) {
    StartInArchive(4, 2);
    Key(VK_SPACE);
    Key(VK_SPACE);
    Choose(dest.Path());
    Key('C');
    EXPECT_TRUE(FileExists(dest / L"P01.BMP"));
    EXPECT_TRUE(FileExists(dest / L"P02.BMP"));
    EXPECT_TRUE(InArchive(L"P01.BMP"));

    TestFolder moved{L"moved"};
    Key(VK_SPACE); // P03, cursor on P04
    Choose(moved.Path());
    Key('M');
    EXPECT_TRUE(FileExists(moved / L"P03.BMP"));
    EXPECT_FALSE(InArchive(L"P03.BMP"));
    EXPECT_EQ(Name(2), L"");
    EXPECT_EQ(CursorName(), L"P04.BMP");
    EXPECT_TRUE(st().LhaMode);
    EXPECT_FALSE(FolderExists(st().TempDir));
}

// The library replaces a file of the same name at the destination without asking: that file
// goes first where delete puts deleted pictures.
TEST_F(ArchiveCommands, AFileAnExtractionWouldReplaceIsKeptAsDeleteKeepsPictures) {
    StartInArchive(3, 2);
    TestFolder backup{L"backup"};
    ExpectReplacedFileKept(dest / L"P01.BMP", backup.Path(), [&] {
        Choose(dest.Path());
        Key('C');
        EXPECT_EQ(Contents(dest / L"P01.BMP").substr(0, 2), "BM"); // the archive's picture
    });
    EXPECT_TRUE(dialogs.messages.empty());

    // A backup folder that cannot take the file: nothing is extracted over it, nothing moved.
    st().BackupMode = 2;
    st().BackupDir = pictures / L"ARC.LZH\\";
    WriteTextFile(dest / L"P01.BMP", "another picture");
    Choose(dest.Path());
    Key('M');
    EXPECT_EQ(Contents(dest / L"P01.BMP"), "another picture");
    EXPECT_TRUE(InArchive(L"P01.BMP"));
    EXPECT_EQ(LastMessage(), L"コピーを確かめられないため，元のファイルは削除しませんでした．");
}

TEST_F(ArchiveCommands, DeleteKeepsABackupBeforeRemovingEntries) {
    StartInArchive(3, 2);
    st().BackupMode = 2;
    st().BackupDir = dest.Path();
    Key('D');
    EXPECT_TRUE(FileExists(dest / L"P01.BMP"));
    EXPECT_FALSE(InArchive(L"P01.BMP"));
    EXPECT_EQ(CursorName(), L"P02.BMP");

    st().BackupMode = 1;
    int trashed = TrashCount(L"P02.BMP");
    Key('D');
    EXPECT_FALSE(InArchive(L"P02.BMP"));
    if (!TrashPath(L"").empty()) EXPECT_EQ(TrashCount(L"P02.BMP"), trashed + 1);
    EXPECT_FALSE(FolderExists(st().TempDir));

    // A backup folder that cannot be written: the entry stays in the archive.
    st().BackupMode = 2;
    st().BackupDir = pictures / L"ARC.LZH\\";
    Key('D');
    EXPECT_TRUE(InArchive(L"P03.BMP"));
    EXPECT_EQ(dialogs.messages.back().caption, L"Files Kept");
}

TEST_F(ArchiveCommands, RenamesInsideTheArchive) {
    StartInArchive(3, 2);
    Key(VK_SPACE);
    Key(VK_SPACE);
    Answer({L"PIC", L"7"});
    Key('N');
    EXPECT_TRUE(InArchive(L"PIC007.BMP"));
    EXPECT_TRUE(InArchive(L"PIC008.BMP"));
    EXPECT_FALSE(InArchive(L"P01.BMP"));
    EXPECT_EQ(Name(1), L"PIC008.BMP");
    Key(VK_RIGHT); // P03
    Answer({L"PIC007"});
    Key('N', ssShift); // clashes with a member
    EXPECT_EQ(LastMessage(), L"ファイルネームが重複しています．中止します．");
    EXPECT_TRUE(InArchive(L"P03.BMP"));
}

TEST_F(ArchiveCommands, DuplicateAddsAMemberAndPackingIntoTheOpenArchiveRemovesNothing) {
    StartInArchive(2, 2);
    Key(VK_SPACE);
    Key(VK_LEFT);
    Key('Z');
    EXPECT_TRUE(InArchive(L"ZZZZZ000.BMP"));
    EXPECT_EQ(CursorName(), L"ZZZZZ000.BMP");
    EXPECT_FALSE(FolderExists(st().TempDir));

    Key(VK_SPACE);
    Answer({L"ARC"});
    Choose(pictures.Path());
    Key('P', ssCtrl);
    EXPECT_TRUE(InArchive(L"ZZZZZ000.BMP"));
    EXPECT_EQ(dialogs.messages.back().caption, L"Files Kept");
}

TEST_F(ArchiveCommands, CtrlPackFromAnArchiveMovesEntriesIntoTheNewOne) {
    StartInArchive(2, 2);
    Answer({L"NEW"});
    Choose(dest.Path());
    Key('P', ssCtrl);
    EXPECT_TRUE(Holds(dest / L"NEW.LZH", L"P01.BMP"));
    EXPECT_FALSE(InArchive(L"P01.BMP"));
    EXPECT_TRUE(InArchive(L"P02.BMP"));
    EXPECT_EQ(Name(0), L"");
    EXPECT_EQ(CursorName(), L"P02.BMP");
    EXPECT_FALSE(FolderExists(st().TempDir));
}

// The work folder belongs to one command: what an earlier one left, in folders of its own
// too, is gone afterwards, and a folder that cannot be emptied stops the command unstarted.
TEST_F(ArchiveCommands, TheWorkFolderIsEmptiedFirstOrTheCommandDoesNotStart) {
    StartInArchive(2, 2);
    ASSERT_TRUE(MakeFolderWithParents(st().TempDir + L"KEPT\\"));
    WriteSolidBmp(st().TempDir + L"KEPT\\OLD.BMP", 8, 8, 1, 2, 3);
    Key(VK_SPACE);
    Key(VK_LEFT);
    Key('Z');
    EXPECT_TRUE(InArchive(L"ZZZZZ000.BMP"));
    EXPECT_FALSE(PathExists(st().TempDir));

    ASSERT_TRUE(MakeFolderWithParents(st().TempDir));
    WriteSolidBmp(st().TempDir + L"HELD.BMP", 8, 8, 1, 2, 3);
    UniqueFile held(::CreateFileW((st().TempDir + L"HELD.BMP").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    const size_t members = st().FileList.size();
    Key(VK_SPACE);
    Key(VK_LEFT);
    Key('Z');
    EXPECT_EQ(st().FileList.size(), members);
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().caption, L"Work Folder Error");
    EXPECT_NE(dialogs.messages.back().text.find(st().TempDir), std::wstring::npos);
    st().BackupMode = 1;
    const std::wstring cursor = CursorName();
    Key('D');
    EXPECT_TRUE(InArchive(cursor));
    EXPECT_EQ(dialogs.messages.back().caption, L"Work Folder Error");
}
