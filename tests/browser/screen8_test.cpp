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
