#include "core/slots.h"
#include "state_fixture.h"
#include <gtest/gtest.h>

using namespace tovn;

TEST(StatusTexts, DispCountsTheSquareThatShowsAllFiles) {
    BrowserState s = StateWith(10, 3);
    EXPECT_EQ(DispText(s), L"Disp : 3*3(4)");
    EXPECT_EQ(DispText(StateWith(9, 3)), L"Disp : 3*3(3)");
    EXPECT_EQ(DispText(StateWith(0, 3)), L"Disp : 3*3(0)");
    EXPECT_EQ(DispText(StateWith(10, 3, L"__")), L"Disp : 3*3(3)"); // empty slots do not count
}

TEST(StatusTexts, ModeFollowsCaptureSortAndArchive) {
    BrowserState s = StateWith(1, 3);
    EXPECT_EQ(ModeText(s), L"Normal");
    s.LhaMode = true;
    EXPECT_EQ(ModeText(s), L"Lha");
    s.SortMode = true;
    EXPECT_EQ(ModeText(s), L"Sort&Lha");
    s.LhaMode = false;
    EXPECT_EQ(ModeText(s), L"Sort");
    s.CaptureMode = true;
    EXPECT_EQ(ModeText(s), L"Capture");
}

TEST(StatusTexts, PathShowsFolderArchiveAndCursorName) {
    BrowserState s = StateWith(3, 3);
    s.CursorCell = 2;
    s.PageCount = 1;
    EXPECT_EQ(PathText(s), L"C:\\PICS\\F1");
    EXPECT_EQ(PageText(s), L"Page : 1/1");
    s.LhaMode = true;
    s.ArchiveName = L"A.LZH";
    EXPECT_EQ(PathText(s), L"C:\\PICS\\A.LZH\\F1");
    EXPECT_EQ(PathText(StateWith(0, 3)), L"C:\\PICS\\");
}

TEST(ExtensionTest, SubstringOfTheMaskOrBmp) {
    const std::wstring mask = L"*.MAG;*.PIC;";
    EXPECT_TRUE(AcceptsExtension(L"A.mag", mask));
    EXPECT_TRUE(AcceptsExtension(L"b.MAG", mask));
    EXPECT_TRUE(AcceptsExtension(L"x.pi", mask)); // .PI is inside *.PIC
    EXPECT_TRUE(AcceptsExtension(L"PHOTO.BMP", L""));
    EXPECT_FALSE(AcceptsExtension(L"README", mask));
    EXPECT_FALSE(AcceptsExtension(L"X.C", mask + L"*.C;")); // too short, whatever the mask
    EXPECT_FALSE(AcceptsExtension(L"a.png", mask));
    EXPECT_TRUE(AcceptsExtension(L"v1.2.mag", mask)); // the last dot counts
}
