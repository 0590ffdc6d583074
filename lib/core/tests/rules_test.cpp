#include "core/command_line.h"
#include "core/geometry.h"
#include "core/placement.h"
#include "core/text.h"
#include <gtest/gtest.h>

using namespace tovn;

TEST(Placement, StoredBoundsAreClampedToTheScreen) {
    Bounds b = PlaceWindow({-5, 900, 600, 400}, 1024, 738);
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.top, 50); // below the work area
    EXPECT_EQ(b.width, 600);
    EXPECT_EQ(b.height, 400);
    Bounds wide = PlaceWindow({600, 10, 800, 300}, 1024, 738);
    EXPECT_EQ(wide.width, 440); // 424 after clamping is too narrow: the default
    EXPECT_EQ(wide.left, 50);
}

TEST(Placement, NarrowWindowsReturnToTheDefault) {
    Bounds b = PlaceWindow({100, 120, 300, 500}, 1024, 738);
    EXPECT_EQ(b.left, 50);
    EXPECT_EQ(b.top, 50);
    EXPECT_EQ(b.width, 440);
    EXPECT_EQ(b.height, 300);
    Bounds tall = PlaceWindow({10, 600, 500, 400}, 1024, 738);
    EXPECT_EQ(tall.height, 138);
}

TEST(Placement, SizesNearTheIntegerLimitAreCutToTheScreen) {
    Bounds b = PlaceWindow({20, 30, 2147483647, 2147483647}, 1024, 738);
    EXPECT_EQ(b.left, 20);
    EXPECT_EQ(b.width, 1004);
    EXPECT_EQ(b.height, 708);
}

TEST(Geometry, MagScreenPlacementOfAQuarterPicture) {
    EXPECT_TRUE(UsesScreenPlacement(L".MAG", 320, 200));
    EXPECT_FALSE(UsesScreenPlacement(L".MAG", 640, 400)); // exactly 256000: fitted
    EXPECT_FALSE(UsesScreenPlacement(L".MAG", 640, 480));
    EXPECT_FALSE(UsesScreenPlacement(L".PI", 320, 200));
    PictureBox b = ScreenPlacement(320, 200, 320, 200, 0, 0, 320, 200);
    EXPECT_FLOAT_EQ(b.scale, 0.5f);
    EXPECT_EQ(b.x, 160);
    EXPECT_EQ(b.y, 100);
    EXPECT_EQ(b.w, 160);
    EXPECT_EQ(b.h, 100);
}

TEST(Geometry, FitEnlargesSmallPicturesAndCentres) {
    PictureBox b = FitPlacement(100, 100, 0, 0, 200, 150);
    EXPECT_FLOAT_EQ(b.scale, 1.5f);
    EXPECT_EQ(b.w, 150);
    EXPECT_EQ(b.h, 150);
    EXPECT_EQ(b.x, 25);
    EXPECT_EQ(b.y, 0);
    PictureBox second = FitPlacement(400, 100, 1, 2, 200, 150); // wide picture, cell (1, 2)
    EXPECT_EQ(second.w, 200);
    EXPECT_EQ(second.h, 50);
    EXPECT_EQ(second.x, 200);
    EXPECT_EQ(second.y, 350);
}

TEST(CommandLine, FileFolderAndTrailingDots) {
    auto exists = [](const std::wstring& p) { return p == L"C:\\ARC\\A B.LZH"; };
    StartTarget f = ParseCommandLine({L"C:\\ARC\\A", L"B.LZH"}, exists);
    EXPECT_EQ(f.folder, L"C:\\ARC\\");
    EXPECT_EQ(f.file, L"A B.LZH");
    StartTarget d = ParseCommandLine({L"C:\\PICS\\."}, exists);
    EXPECT_EQ(d.folder, L"C:\\PICS\\");
    EXPECT_TRUE(d.file.empty());
    EXPECT_EQ(ParseCommandLine({L"C:\\PICS"}, exists).folder, L"C:\\PICS\\");
    EXPECT_TRUE(ParseCommandLine({}, exists).folder.empty());
}

TEST(Text, IntegersAndBackslashes) {
    long long v = 0;
    EXPECT_TRUE(ParseInteger(L"12", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(ParseInteger(L"-3", v));
    EXPECT_FALSE(ParseInteger(L"abc", v));
    EXPECT_FALSE(ParseInteger(L"", v));
    EXPECT_FALSE(ParseInteger(L"1 ", v));
    EXPECT_EQ(WithTrailingBackslash(L"C:\\A"), L"C:\\A\\");
    EXPECT_EQ(WithTrailingBackslash(L"C:\\A\\"), L"C:\\A\\");
    EXPECT_EQ(WithTrailingBackslash(L""), L"");
}
