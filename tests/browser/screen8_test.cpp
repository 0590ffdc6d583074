// Runs on an 8-bit Xvfb screen (Wine reports a 256-colour display).
#include "support/browser_fixture.h"

using namespace tovn;
using namespace tovn::test;

using PaletteScreen = BrowserFixture;

TEST_F(PaletteScreen, StartsWithThePaletteDisplayAndPaintsThumbnails) {
    PutIni(L"Window", L"Img", L"2");
    WriteSolidBmp(pictures / L"A.BMP", 40, 30, 255, 0, 0);
    WriteSolidBmp(pictures / L"B.BMP", 40, 30, 0, 0, 255);
    Start();
    ASSERT_TRUE(st().PaletteDisplay);
    int cw = st().CellWidth, ch = st().CellHeight;
    // Against the placeholder's palette pure red and blue are exact entries.
    EXPECT_EQ(Pixel(cw / 2, ch * 2 / 3), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(cw + cw / 2, ch * 2 / 3), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(cw / 2, ch + ch / 2), RGB(128, 128, 128));
    EXPECT_EQ(dialogs.beeps, 0);
}

// The bands XOR the palette indices exactly as they did when drawn into the canvas itself,
// in both modes' colours; each band changes what the screen shows.
TEST_F(PaletteScreen, BandsXorTheIndicesAsWhenDrawnIntoTheCanvas) {
    PutIni(L"Window", L"Img", L"2");
    for (const wchar_t* name : {L"A.BMP", L"B.BMP", L"C.BMP", L"D.BMP"})
        WriteSolidBmp(pictures / name, 40, 30, 0, 0, 255);
    Start();
    ASSERT_TRUE(st().PaletteDisplay);
    const int cw = st().CellWidth, ch = st().CellHeight;
    auto at = [&](int cell, int third) {
        return Pixel(((cell - 1) % 2) * cw + cw / 2,
                     ((cell - 1) / 2) * ch + ch * third / 3 + ch / 6);
    };
    ExpectGridShowsBands();
    EXPECT_NE(at(1, 0), at(2, 0)) << "cursor band";
    Key(VK_RIGHT);
    Key(VK_SPACE); // B marked, the cursor on C
    ExpectGridShowsBands();
    EXPECT_NE(at(2, 2), at(4, 2)) << "mark band";
    EXPECT_NE(at(3, 0), at(4, 0)) << "cursor band";
    Key(VK_HOME);   // the mark goes
    Key(VK_DELETE); // sort mode picks C and moves on to D
    ASSERT_TRUE(st().SortMode);
    ExpectGridShowsBands();
    EXPECT_NE(at(3, 2), at(1, 2)) << "pick band";
    EXPECT_NE(at(4, 0), at(1, 0)) << "sort mode's cursor band";
}
