#include "fileops/tests/file_fixture.h"

using namespace tovn;
using namespace tovn::test;

class LayoutCommands : public FileFixture {};

TEST_F(LayoutCommands, InsertSpaceAtTheFirstAndTheLastCell) {
    StartWithPictures(6, 2);
    Key('I'); // cell 1: a whole page of empty cells before P01
    EXPECT_EQ(st().FileList.size(), 10u);
    EXPECT_EQ(st().CurrentPage, 2);
    EXPECT_EQ(st().CursorCell, 1);
    EXPECT_EQ(CursorName(), L"P01.BMP");
    for (int i = 0; i < 3; ++i) Key(VK_RIGHT); // P04 on the last cell of page 2
    Key('I');
    EXPECT_EQ(st().FileList.size(), 11u);
    EXPECT_EQ(Name(7), L"");
    EXPECT_EQ(st().CurrentPage, 3);
    EXPECT_EQ(CursorName(), L"P04.BMP");
    EXPECT_TRUE(InPictures(L"P04.BMP"));
}

TEST_F(LayoutCommands, DuplicateTakesTheNextFreeNumberAtTheCursor) {
    StartWithFiles({L"X.BMP", L"Y.BMP", L"ZZZZZ000.BMP", L"ZZZZZ001.BMP"});
    Key('Z'); // nothing marked
    EXPECT_EQ(dialogs.beeps, 1);
    Key(VK_SPACE); // X marked, cursor on Y
    Key(VK_SPACE); // Y marked too: only the first is duplicated
    Key(VK_LEFT);
    Key('Z');
    EXPECT_TRUE(InPictures(L"ZZZZZ002.BMP"));
    EXPECT_FALSE(InPictures(L"ZZZZZ003.BMP"));
    EXPECT_EQ(CursorName(), L"ZZZZZ002.BMP");
    EXPECT_EQ(Name(2), L"Y.BMP");
    EXPECT_EQ(st().FileList[2].mark, 0);
}

TEST_F(LayoutCommands, DuplicateGivesUpAfterTheLastFreeName) {
    for (int i = 0; i < 998; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"ZZZZZ%03d.BMP", i);
        WriteSolidBmp(pictures / name, 1, 1, 0, 0, 0);
    }
    StartWithFiles({L"X.BMP"});
    Key(VK_SPACE);
    Key('Z');
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_FALSE(InPictures(L"ZZZZZ998.BMP"));
    EXPECT_EQ(st().FileList.size(), 999u);
}

TEST_F(LayoutCommands, NewFolderWithParentsAndItsChecks) {
    StartWithPictures(1, 2);
    Answer({L"A\\B"});
    Key('K');
    EXPECT_EQ(dialogs.inputs.at(0).caption, L"ディレクトリ作成");
    EXPECT_TRUE(FolderExists(pictures / L"A\\B"));
    Answer({L"MY PICS", L"ABCDEFGHI", L"A"});
    Key('K');
    Key('K');
    Key('K'); // exists: silent
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, L"空白が入っています．");
    EXPECT_EQ(dialogs.messages[1].text, L"８文字以内で入力して下さい．");
    EXPECT_EQ(dialogs.messages[1].caption, L"Directory Name Error");
    WriteTextFile(pictures / L"F", "x");
    Answer({L"F\\SUB"}); // below a file: cannot be made
    Key('K');
    EXPECT_EQ(LastMessage(), L"ﾃﾞｨﾚｸﾄﾘの作成に失敗しました．");
    Answer({L""});
    Key('K');
    EXPECT_EQ(dialogs.beeps, 4);
    EXPECT_EQ(st().FileList.size(), 1u);
}

TEST_F(LayoutCommands, PackRefusesWithoutTheArchiveLibrary) {
    StartWithPictures(1, 2);
    if (UnlhaLoaded()) GTEST_SKIP();
    Key('P');
    EXPECT_EQ(LastMessage(), L"UNLHA32.DLLがロードされていません．");
    EXPECT_TRUE(dialogs.inputs.empty());
}
