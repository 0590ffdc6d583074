#include "fileops/tests/file_fixture.h"
#include <string>

using namespace tovn;
using namespace tovn::test;

namespace {
std::wstring NoSlash(const std::wstring& folder) {
    return folder.substr(0, folder.size() - 1);
}
} // namespace

class CopyMoveDelete : public FileFixture {
protected:
    TestFolder dest{L"dest"};
};

TEST_F(CopyMoveDelete, CopyTakesTheCursorFileAloneAndShiftOpensTheDestination) {
    StartWithPictures(4, 2);
    Choose(NoSlash(dest.Path()));
    Key('C');
    ASSERT_EQ(dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ(dialogs.chooserRequests[0].purpose, L"Copy");
    EXPECT_EQ(st().CopyDir, dest.Path());
    EXPECT_TRUE(FileExists(dest / L"P01.BMP"));
    EXPECT_FALSE(FileExists(dest / L"P02.BMP"));
    EXPECT_TRUE(InPictures(L"P01.BMP"));
    EXPECT_EQ(Name(0), L"P01.BMP"); // the copied file stays in the grid

    Key(VK_RIGHT);
    Key(VK_SPACE); // P02
    Key(VK_SPACE); // P03
    Choose(NoSlash(dest.Path()));
    Key('U', ssShift);
    EXPECT_TRUE(FileExists(dest / L"P02.BMP"));
    EXPECT_TRUE(FileExists(dest / L"P03.BMP"));
    EXPECT_EQ(st().CurrentDir, dest.Path());
    EXPECT_EQ(st().FileList.size(), 3u);
    EXPECT_EQ(st().CursorCell, 1);
}

TEST_F(CopyMoveDelete, MoveLeavesGreyCellsAndTheCursorGoesToTheNextFile) {
    StartWithPictures(4, 2);
    Key(VK_SPACE);
    Key(VK_SPACE);
    Key(VK_LEFT); // on P02, marked
    Choose(NoSlash(dest.Path()));
    Key('M');
    EXPECT_TRUE(FileExists(dest / L"P01.BMP"));
    EXPECT_TRUE(FileExists(dest / L"P02.BMP"));
    EXPECT_FALSE(InPictures(L"P01.BMP"));
    ASSERT_EQ(st().FileList.size(), 4u); // the grid does not shift
    EXPECT_EQ(Name(0), L"");
    EXPECT_EQ(Name(1), L"");
    EXPECT_EQ(CursorName(), L"P03.BMP");
    EXPECT_EQ(CellPixel(1), kGrey);
    EXPECT_EQ(CellPixel(2), kGrey);
}

TEST_F(CopyMoveDelete, AFailedShellMoveLeavesTheFilesWhereTheyWere) {
    StartWithPictures(3, 2);
    // A destination below a file cannot be made.
    Choose(pictures / L"P03.BMP\\INNER");
    Key('M');
    EXPECT_TRUE(InPictures(L"P01.BMP"));
    EXPECT_TRUE(InPictures(L"P03.BMP"));
    EXPECT_FALSE(FolderExists(pictures / L"INNER"));
    // The cell still shows the file that stayed, and the refusal was heard.
    EXPECT_EQ(Name(0), L"P01.BMP");
    EXPECT_NE(CellPixel(1), kGrey);
    EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(CopyMoveDelete, AFileTheShellCannotMoveKeepsItsCell) {
    StartWithPictures(3, 2);
    TestFolder dest{L"dest"};
    // Held open without delete sharing: the shell can move P01 but not P02.
    UniqueFile held(::CreateFileW((pictures / L"P02.BMP").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    Key(VK_SPACE);
    Key(VK_SPACE);
    Choose(dest.Path());
    Key('M');
    held.reset();
    EXPECT_TRUE(FileExists(dest / L"P01.BMP"));
    EXPECT_TRUE(InPictures(L"P02.BMP"));
    EXPECT_EQ(Name(0), L"");
    EXPECT_EQ(Name(1), L"P02.BMP");
    EXPECT_EQ(CellPixel(1), kGrey);
    EXPECT_NE(CellPixel(2), kGrey);
}

TEST_F(CopyMoveDelete, BackupFolderKeepsDeletedFilesButNotItsOwn) {
    StartWithPictures(3, 2);
    st().BackupMode = 2;
    st().BackupDir = dest.Path();
    Key('D');
    EXPECT_TRUE(FileExists(dest / L"P01.BMP"));
    EXPECT_FALSE(InPictures(L"P01.BMP"));
    // Browsing the backup folder itself (named in another letter case): gone for good.
    WriteSolidBmp(dest / L"P09.BMP", 8, 8, 1, 2, 3);
    std::wstring lower = dest.Path();
    for (auto& c : lower) c = static_cast<wchar_t>(towlower(c));
    EnterFolder(lower);
    Key('S');
    ASSERT_EQ(CursorName(), L"P01.BMP");
    Key('D');
    EXPECT_FALSE(FileExists(dest / L"P01.BMP"));
    EXPECT_TRUE(dialogs.messages.size() == 2u); // the two confirmations, no shell question
    EXPECT_EQ(st().BackupMode, 2);
}

TEST_F(CopyMoveDelete, RecycleBinBackupLandsInTheDesktopTrash) {
    std::wstring name = L"T" + std::to_wstring(::GetTickCount()) + L".BMP";
    if (TrashPath(name).empty()) GTEST_SKIP();
    StartWithFiles({name.c_str()}, 2);
    st().BackupMode = 1;
    Key('D');
    EXPECT_FALSE(InPictures(name));
    EXPECT_TRUE(FileExists(TrashPath(name)));
    ::DeleteFileW(TrashPath(name).c_str());
}
