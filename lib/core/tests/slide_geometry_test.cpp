#include "core/slide_geometry.h"
#include <gtest/gtest.h>

using namespace tovn;

namespace {
const SlideScreen kScreen{1024, 738};
const FrameSize kFrame{8, 27};
} // namespace

TEST(SlideGeometry, NaturalSizeWidensNarrowWindowsToTheMinimumFrameIncluded) {
    SlideLayout bmp = NaturalLayout(60, 40, 100, kFrame, kScreen);
    EXPECT_EQ(bmp.window.width, 100);
    EXPECT_EQ(bmp.window.height, 67);
    EXPECT_EQ(bmp.imageWidth, 60);
    EXPECT_EQ(bmp.imageHeight, 40);
    EXPECT_EQ(bmp.window.left, 462);
    EXPECT_EQ(bmp.window.top, 335);
    EXPECT_EQ(NaturalLayout(60, 40, 80, kFrame, kScreen).window.width, 80);
    EXPECT_EQ(NaturalLayout(640, 400, 80, kFrame, kScreen).window.width, 648);
}

TEST(SlideGeometry, TallPicturesGetScrollBarRoomAndAreCutToTheWorkArea) {
    SlideLayout tall = NaturalLayout(300, 900, 80, kFrame, kScreen);
    EXPECT_EQ(tall.window.width, 324);
    EXPECT_EQ(tall.window.height, 738);
    EXPECT_EQ(tall.window.top, 0);
    EXPECT_EQ(tall.window.left, 350);
    EXPECT_EQ(tall.imageHeight, 900);
    // Wide and tall: both scroll bars' room, both edges clamped.
    SlideLayout big = NaturalLayout(1100, 900, 80, kFrame, kScreen);
    EXPECT_EQ(big.window.width, 1024);
    EXPECT_EQ(big.window.height, 738);
    EXPECT_EQ(big.window.left, 0);
    // Only wide: the horizontal bar's room below.
    SlideLayout wide = NaturalLayout(1100, 200, 80, kFrame, kScreen);
    EXPECT_EQ(wide.window.height, 243);
    EXPECT_EQ(wide.window.width, 1024);
}

TEST(SlideGeometry, CentringTruncatesTowardZeroForWindowsLargerThanTheScreen) {
    WindowBox b = CentreWindow({0, 0, 1027, 741}, kScreen);
    EXPECT_EQ(b.left, -1);
    EXPECT_EQ(b.top, -1);
}

TEST(SlideGeometry, FitEnlargesUntilTheFirstClientEdgeIsMet) {
    SlideLayout l = FitLayout(100, 50, kFrame, kScreen);
    EXPECT_FLOAT_EQ(l.scale, 1016.0f / 100.0f); // width meets first
    // 10.16 as a single is 10.1599998...: 100 and 50 times it truncate a pixel short.
    EXPECT_EQ(l.imageWidth, 1015);
    EXPECT_EQ(l.imageHeight, 507);
    EXPECT_EQ(l.window.width, 1023);
    EXPECT_EQ(l.window.height, 534);
    EXPECT_EQ(l.window.left, 0);
    EXPECT_EQ(l.window.top, 102);
    // A tall picture meets the bottom edge first and is reduced.
    SlideLayout tall = FitLayout(400, 1422, kFrame, kScreen);
    EXPECT_FLOAT_EQ(tall.scale, 0.5f);
    EXPECT_EQ(tall.imageHeight, 711);
    EXPECT_EQ(tall.imageWidth, 200);
}

TEST(SlideGeometry, FitTruncatesWithTheSinglePrecisionScale) {
    // 711 / 7 as a single is a little below 101.571428...: the product with 7 is 710.99998,
    // which truncates to 710 (rounding the product to a single first would give 711).
    SlideLayout l = FitLayout(7, 7, kFrame, kScreen);
    EXPECT_EQ(l.imageHeight, 710);
    EXPECT_EQ(l.imageWidth, 710);
}

TEST(SlideGeometry, OverlayNeedsTwoMagsAShownBaseAndAPlaceInsideIt) {
    const PictureRect base{0, 0, 400, 640};
    const PictureRect inside{16, 8, 100, 200};
    EXPECT_TRUE(IsOverlay(L".MAG", L".MAG", true, inside, base));
    EXPECT_FALSE(IsOverlay(L".MAG", L"", true, inside, base));
    EXPECT_FALSE(IsOverlay(L".MAG", L".PI", true, inside, base));
    EXPECT_FALSE(IsOverlay(L".PI", L".MAG", true, inside, base));
    EXPECT_FALSE(IsOverlay(L".MAG", L".MAG", false, inside, base));
    // At the base's own origin: a new base.
    EXPECT_FALSE(IsOverlay(L".MAG", L".MAG", true, {0, 0, 100, 200}, base));
    // On the top edge or the left edge but not both: inside.
    EXPECT_TRUE(IsOverlay(L".MAG", L".MAG", true, {0, 8, 100, 200}, base));
    EXPECT_TRUE(IsOverlay(L".MAG", L".MAG", true, {16, 0, 100, 200}, base));
    // The bottom edge may be met, not passed; the right edge may be passed by one pixel.
    EXPECT_TRUE(IsOverlay(L".MAG", L".MAG", true, {300, 8, 100, 200}, base));
    EXPECT_FALSE(IsOverlay(L".MAG", L".MAG", true, {301, 8, 100, 200}, base));
    EXPECT_TRUE(IsOverlay(L".MAG", L".MAG", true, {16, 441, 100, 200}, base));
    EXPECT_FALSE(IsOverlay(L".MAG", L".MAG", true, {16, 442, 100, 200}, base));
}

TEST(SlideGeometry, OverlayIsPlacedRelativeToTheBaseAtTheBaseScale) {
    ImageBox b = OverlayBox({16, 8, 100, 200}, {0, 0, 400, 640}, 1.0f);
    EXPECT_EQ(b.left, 8);
    EXPECT_EQ(b.top, 16);
    EXPECT_EQ(b.width, 200);
    EXPECT_EQ(b.height, 100);
    ImageBox scaled = OverlayBox({26, 18, 101, 203}, {10, 10, 400, 640}, 1.5f);
    EXPECT_EQ(scaled.left, 12);
    EXPECT_EQ(scaled.top, 24);
    EXPECT_EQ(scaled.width, 304);
    EXPECT_EQ(scaled.height, 151);
}

TEST(SlideGeometry, MarkBandIsTheBottomThird) {
    ImageBox b = MarkBand(60, 40);
    EXPECT_EQ(b.top, 26);
    EXPECT_EQ(b.height, 14);
    EXPECT_EQ(b.width, 60);
}

TEST(SlideKeys, TheThreeModesKeyTables) {
    const SlideMode slide = SlideModeOf(L"Slide");
    EXPECT_EQ(SlideActionFor(slide, 0x0D), SlideAction::Next);
    EXPECT_EQ(SlideActionFor(slide, 0x27), SlideAction::Next);
    EXPECT_EQ(SlideActionFor(slide, 'N'), SlideAction::Next);
    EXPECT_EQ(SlideActionFor(slide, 0x20), SlideAction::MarkAndNext);
    EXPECT_EQ(SlideActionFor(slide, 0x28), SlideAction::MarkAndNext);
    EXPECT_EQ(SlideActionFor(slide, 'M'), SlideAction::MarkAndNext);
    EXPECT_EQ(SlideActionFor(slide, 0x25), SlideAction::Previous);
    EXPECT_EQ(SlideActionFor(slide, 'B'), SlideAction::Previous);
    EXPECT_EQ(SlideActionFor(slide, 0x26), SlideAction::Close); // Up
    EXPECT_EQ(SlideActionFor(slide, 0x10), SlideAction::Close); // Shift alone
    const SlideMode view = SlideModeOf(L"Hyouzi");
    EXPECT_EQ(SlideActionFor(view, 0x20), SlideAction::MarkAndClose);
    EXPECT_EQ(SlideActionFor(view, 'M'), SlideAction::MarkAndClose);
    EXPECT_EQ(SlideActionFor(view, 'N'), SlideAction::Close);
    const SlideMode sort = SlideModeOf(L"Sort");
    for (unsigned key : {0x0Du, 0x20u, unsigned('M'), unsigned('N'), 0x25u})
        EXPECT_EQ(SlideActionFor(sort, key), SlideAction::Close);
}

TEST(BmpConversion, OutputNameIsThePartBeforeTheFirstDot) {
    EXPECT_EQ(BmpOutputName(L"PIC1.MAG"), L"PIC1.BMP");
    EXPECT_EQ(BmpOutputName(L"X.Y.MAG"), L"X.BMP");
    EXPECT_EQ(BmpOutputName(L"NODOT"), L"NODOT.BMP");
}
