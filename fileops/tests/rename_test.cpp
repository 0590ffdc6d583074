// Rename and numbered rename on real files; their names and numbers are checked in
// rename_names_test.cpp.
#include "fileops/tests/file_fixture.h"

using namespace tovn;
using namespace tovn::test;

class Rename : public FileFixture {};

TEST_F(Rename, NumberedRenameRenamesTheFilesAndKeepsTheSeriesInTheSettings) {
    StartWithFiles({L"A.BMP", L"B.bmp", L"C.BMP"});
    const std::string b = Contents(pictures / L"B.bmp");
    Key(VK_HOME);
    Answer({L"PIC", L"7"});
    Key('N');
    EXPECT_TRUE(InPictures(L"PIC007.BMP"));
    EXPECT_EQ(Contents(pictures / L"PIC008.bmp"), b);
    EXPECT_TRUE(InPictures(L"PIC009.BMP"));
    EXPECT_FALSE(InPictures(L"A.BMP"));
    Close();
    EXPECT_EQ(IniText(L"ETC", L"ReName"), L"PIC");
    EXPECT_EQ(IniText(L"ETC", L"ReNo"), L"10");
}

TEST_F(Rename, AClashWithAFileStopsWithoutLosingEither) {
    StartWithPictures(3, 3);
    Key(VK_HOME);
    WriteSolidBmp(pictures / L"Q001.BMP", 8, 8, 9, 9, 9);
    const std::string q = Contents(pictures / L"Q001.BMP");
    Answer({L"Q", L"0"});
    Key('N'); // P01 -> Q000, P02 -> Q001 clashes
    EXPECT_TRUE(InPictures(L"Q000.BMP"));
    EXPECT_TRUE(InPictures(L"P02.BMP"));
    EXPECT_EQ(Contents(pictures / L"Q001.BMP"), q);
    EXPECT_EQ(LastMessage(), L"ファイルネームが重複しています．中止します．");
}

TEST_F(Rename, ANameLeadingOutOfTheFolderMakesNoFileThere) {
    StartWithFiles({L"ZED.BMP"});
    Answer({L"..\\UP"});
    Key('N', ssShift);
    EXPECT_TRUE(InPictures(L"ZED.BMP"));
    EXPECT_FALSE(FileExists(pictures.Path() + L"..\\UP.BMP"));
    EXPECT_EQ(LastMessage(), L"ファイルネームが重複しています．中止します．");
}
