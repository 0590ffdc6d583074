#include "fileops/requests.h"
#include <gtest/gtest.h>

using namespace tovn;

TEST(Requests, DeletionFollowsTheBackupMode) {
    ShellRequest none = DeletionRequest(0, false, L"C:\\P\\", L"C:\\B\\");
    EXPECT_EQ(none.op, ShellOp::Delete);
    EXPECT_EQ(none.flags, 0x10u);
    ShellRequest bin = DeletionRequest(1, false, L"C:\\P\\", L"C:\\B\\");
    EXPECT_EQ(bin.op, ShellOp::Delete);
    EXPECT_EQ(bin.flags, 0x50u);
    ShellRequest backup = DeletionRequest(2, false, L"C:\\P\\", L"C:\\B\\");
    EXPECT_EQ(backup.op, ShellOp::Move);
    EXPECT_EQ(backup.destination, L"C:\\B\\");
    EXPECT_EQ(backup.flags, 0x50u);
    // Browsing the backup folder itself (in any letter case): gone for good.
    ShellRequest inside = DeletionRequest(2, false, L"c:\\b\\", L"C:\\B\\");
    EXPECT_EQ(inside.op, ShellOp::Delete);
    EXPECT_EQ(inside.flags, 0x10u);
    // Extracted copies always go to the backup folder.
    EXPECT_EQ(DeletionRequest(2, true, L"C:\\B\\", L"C:\\B\\").op, ShellOp::Move);
}

TEST(Requests, CopyAndMoveAllowUndoAndNeverReplaceSilently) {
    EXPECT_EQ(CopyRequest(L"D:\\").flags, 0x40u);
    EXPECT_EQ(MoveRequest(L"D:\\").flags & kShellNoConfirmation, 0u);
    EXPECT_EQ(MoveRequest(L"D:\\").destination, L"D:\\");
}

TEST(Requests, SourceListEndsEachPathAndTheListWithNul) {
    std::wstring list = NulSeparatedList({L"A", L"BC"});
    EXPECT_EQ(list, std::wstring(L"A\0BC\0\0", 6));
    EXPECT_EQ(NulSeparatedList({}), std::wstring(L"\0", 1));
}

TEST(Requests, StoreReplacesMembersWhateverTheirDates) {
    EXPECT_EQ(StoreCommand(L"C:\\My Pics\\ARC.LZH", L"C:\\TOVN\\TEMP\\", {L"A.BMP", L"B\"C.BMP"}),
              L"a -c -n \"C:\\My Pics\\ARC.LZH\" \"C:\\TOVN\\TEMP\\A.BMP\"");
}

TEST(Requests, ArchiveCommandLinesQuoteEveryName) {
    std::vector<std::wstring> names = {L"A.MAG", L"B C.PI", L"D.BMP"};
    EXPECT_EQ(ExtractCommand(L"C:\\X\\ARC.LZH", L"D:\\OUT\\", names),
              L"e -y -n -+ \"C:\\X\\ARC.LZH\" \"D:\\OUT\\\" \"A.MAG\" \"B C.PI\" \"D.BMP\"");
    EXPECT_EQ(PackCommand(L"D:\\ARC\\photos.LZH", L"C:\\P\\", {L"A.MAG"}),
              L"a -n -+ \"D:\\ARC\\photos.LZH\" \"C:\\P\\A.MAG\"");
    EXPECT_EQ(DeleteCommand(L"C:\\ARC.LZH", {L"A.MAG"}), L"d -n -+ -y \"C:\\ARC.LZH\" \"A.MAG\"");
    EXPECT_EQ(RenameCommand(L"C:\\ARC.LZH", L"A.MAG", L"PIC007.MAG"),
              L"n -n \"C:\\ARC.LZH\" \"A.MAG\" \"-grPIC007.MAG\"");
}

TEST(Requests, NamesThatWouldBreakTheCommandLineAreLeftOut) {
    // A quote inside a member name would end the name early and add another member.
    EXPECT_EQ(DeleteCommand(L"C:\\ARC.LZH", {L"X\" \"OTHER.MAG", L"B.MAG"}),
              L"d -n -+ -y \"C:\\ARC.LZH\" \"B.MAG\"");
    EXPECT_FALSE(Quotable(L"A\nB"));
    EXPECT_FALSE(Quotable(L""));
    EXPECT_TRUE(Quotable(L"\u5199\u771f.MAG"));
}

TEST(Requests, PackPathAddsTheExtensionToWhateverWasTyped) {
    EXPECT_EQ(PackArchivePath(L"D:\\ARC\\", L"photos"), L"D:\\ARC\\photos.LZH");
    EXPECT_EQ(PackArchivePath(L"D:\\ARC\\", L"photos.lzh"), L"D:\\ARC\\photos.lzh.LZH");
}
