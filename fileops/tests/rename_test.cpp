#include "fileops/tests/file_fixture.h"

using namespace tovn;
using namespace tovn::test;

class Rename : public FileFixture {};

TEST_F(Rename, NumberedRenameKeepsExtensionsAndContinuesTheSeries) {
    StartWithFiles({L"A.BMP", L"B.bmp", L"C.BMP"});
    Key(VK_HOME);
    Answer({L"PIC", L"7"});
    Key('N');
    ASSERT_EQ(dialogs.inputs.size(), 2u);
    EXPECT_EQ(dialogs.inputs[0].caption, L"連番リネーム");
    EXPECT_EQ(dialogs.inputs[0].prompt, L"ファイル名部分を５文字以内で入力して下さい．");
    EXPECT_EQ(dialogs.inputs[1].caption, L"連番リネーム　ナンバー");
    EXPECT_EQ(dialogs.inputs[1].initial, L"0");
    EXPECT_TRUE(InPictures(L"PIC007.BMP"));
    EXPECT_TRUE(InPictures(L"PIC008.bmp"));
    EXPECT_TRUE(InPictures(L"PIC009.BMP"));
    EXPECT_EQ(Name(1), L"PIC008.bmp");
    EXPECT_EQ(st().PageCells[3].name, L"PIC009.BMP"); // the painter sees the cell as drawn
    EXPECT_EQ(st().RenameNo, 10);
    Key('N'); // the next run offers the saved name and number
    EXPECT_EQ(dialogs.inputs[2].initial, L"PIC");
    Close();
    EXPECT_EQ(IniText(L"ETC", L"ReName"), L"PIC");
    EXPECT_EQ(IniText(L"ETC", L"ReNo"), L"10");
}

TEST_F(Rename, NumberingStopsBeforeOneThousand) {
    StartWithPictures(5, 3);
    Key(VK_HOME);
    Answer({L"X", L"998"});
    Key('N');
    EXPECT_TRUE(InPictures(L"X998.BMP"));
    EXPECT_TRUE(InPictures(L"X999.BMP"));
    EXPECT_TRUE(InPictures(L"P03.BMP"));
    EXPECT_TRUE(InPictures(L"P05.BMP"));
    EXPECT_EQ(LastMessage(), L"連番が1000を越えました．");
    EXPECT_EQ(dialogs.messages.back().caption, L"File Name Error");
    EXPECT_EQ(Name(2), L"P03.BMP");
    EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(Rename, TypedTextsAreChecked) {
    StartWithPictures(2, 3);
    Answer({L"ABCDEF"});
    Key('N');
    EXPECT_EQ(LastMessage(), L"５文字以内で入力して下さい．");
    EXPECT_EQ(st().RenameName, L"ABCDEF"); // taken at once, even when refused
    Answer({L"A B"});
    Key('N');
    EXPECT_EQ(LastMessage(), L"空白が入っています．");
    Answer({L"PIC", L"1000"});
    Key('N');
    EXPECT_EQ(LastMessage(), L"３桁以内で入力して下さい．");
    Answer({L"PIC", L"12a"});
    Key('N');
    EXPECT_EQ(LastMessage(), L"数値で力して下さい．");
    Key('N'); // cancelled
    EXPECT_EQ(dialogs.beeps, 5);
    EXPECT_TRUE(InPictures(L"P01.BMP"));

    st().LongFileNames = true;
    Answer({L"ABCDEF G", L"1"});
    Key('N');
    EXPECT_EQ(dialogs.inputs.back().prompt, L"３桁以内で入力して下さい．");
    EXPECT_TRUE(InPictures(L"ABCDEF G001.BMP"));
}

TEST_F(Rename, AClashOrAVanishedFileStopsWithoutLosingAFile) {
    StartWithPictures(3, 3);
    Key(VK_HOME);
    WriteSolidBmp(pictures / L"Q001.BMP", 8, 8, 9, 9, 9);
    Answer({L"Q", L"0"});
    Key('N'); // P01 -> Q000, P02 -> Q001 clashes
    EXPECT_TRUE(InPictures(L"Q000.BMP"));
    EXPECT_TRUE(InPictures(L"P02.BMP"));
    EXPECT_TRUE(InPictures(L"Q001.BMP"));
    EXPECT_EQ(LastMessage(), L"ファイルネームが重複しています．中止します．");
    EXPECT_EQ(st().RenameNo, 1);

    ::DeleteFileW((pictures / L"P02.BMP").c_str());
    Key(VK_RIGHT); // P02
    Answer({L"R", L"5"});
    Key('N');
    EXPECT_EQ(dialogs.messages.back().caption, L"File Not Exists");
    EXPECT_EQ(Name(1), L"");
}

TEST_F(Rename, RenameOneByOneOffersTheNameBeforeTheFirstDot) {
    StartWithFiles({L"PHOTO.01.BMP", L"ZED.BMP", L"ZOO.BMP"});
    Key(VK_HOME);
    Answer({L"NEW", L"..\\UP"});
    Key('N', ssShift);
    ASSERT_EQ(dialogs.inputs.size(), 2u);
    EXPECT_EQ(dialogs.inputs[0].caption, L"ReName Files");
    EXPECT_EQ(dialogs.inputs[0].initial, L"PHOTO");
    EXPECT_EQ(dialogs.inputs[0].prompt, L"８文字以内で入力して下さい．");
    EXPECT_TRUE(InPictures(L"NEW.BMP"));
    EXPECT_EQ(Name(0), L"NEW.BMP");
    // A name leading out of the folder is refused like a clash; the file stays.
    EXPECT_TRUE(InPictures(L"ZED.BMP"));
    EXPECT_FALSE(FileExists(pictures.Path() + L"..\\UP.BMP"));
    EXPECT_EQ(LastMessage(), L"ファイルネームが重複しています．中止します．");
    Key(VK_SPACE);
    Key('N', ssShift); // cancelled
    EXPECT_EQ(dialogs.beeps, 2);
}
