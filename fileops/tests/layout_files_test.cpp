// New folder and duplicate on real files in a real folder.
#include "fileops/tests/file_fixture.h"

using namespace tovn;
using namespace tovn::test;

class LayoutFiles : public FileFixture {};

TEST_F(LayoutFiles, NewFolderWithParentsAndItsFailures) {
    StartWithPictures(1, 2);
    Answer({L"A\\B", L"A"});
    Key('K');
    EXPECT_TRUE(FolderExists(pictures / L"A\\B"));
    Key('K'); // exists: silent
    EXPECT_TRUE(dialogs.events.empty());
    WriteTextFile(pictures / L"F", "x");
    Answer({L"F\\SUB"}); // below a file: cannot be made
    Key('K');
    EXPECT_EQ(LastMessage(), L"ﾃﾞｨﾚｸﾄﾘの作成に失敗しました．");
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(st().FileList.size(), 1u);
}

TEST_F(LayoutFiles, DuplicateCopiesTheFileUnderTheNextFreeNumber) {
    StartWithFiles({L"X.BMP", L"ZZZZZ000.BMP"});
    Key(VK_SPACE);
    Key(VK_LEFT);
    Key('Z');
    EXPECT_EQ(Contents(pictures / L"ZZZZZ001.BMP"), Contents(pictures / L"X.BMP"));
    EXPECT_TRUE(InPictures(L"X.BMP"));
    EXPECT_EQ(CursorName(), L"ZZZZZ001.BMP");
}
