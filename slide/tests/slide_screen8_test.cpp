// The viewer on a 256-colour screen (run on an 8-bit Xvfb display): true-colour pictures are
// reduced, shown with their own palette, and the grid's palette comes back afterwards.
#include "slide/tests/slide_fixture.h"
#include "app/wait_window.h"
#include <set>

using namespace tovn;
using namespace tovn::test;

namespace {

std::vector<PALETTEENTRY> SystemPalette() {
    WindowDc screen(nullptr);
    std::vector<PALETTEENTRY> entries(256);
    entries.resize(::GetSystemPaletteEntries(screen.get(), 0, 256, entries.data()));
    return entries;
}

std::vector<PALETTEENTRY> EntriesOf(HPALETTE palette) {
    std::vector<PALETTEENTRY> entries(256);
    entries.resize(::GetPaletteEntries(palette, 0, 256, entries.data()));
    return entries;
}

// How many of the wanted colours the system palette holds.
int Held(const std::vector<PALETTEENTRY>& system, const std::vector<PALETTEENTRY>& wanted) {
    std::set<COLORREF> have;
    for (const PALETTEENTRY& e : system) have.insert(RGB(e.peRed, e.peGreen, e.peBlue));
    int n = 0;
    for (const PALETTEENTRY& e : wanted) n += have.count(RGB(e.peRed, e.peGreen, e.peBlue)) > 0;
    return n;
}

} // namespace

using PaletteSlide = SlideFixture;

TEST_F(PaletteSlide, TrueColourPicturesAreReducedAndShownWithTheirPalette) {
    WindowDc screen(nullptr);
    ASSERT_EQ(::GetDeviceCaps(screen.get(), BITSPIXEL), 8) << "needs an 8-bit screen";
    ASSERT_TRUE(::CopyFileW(TOVN_SOURCE_DIR L"/samples/TRUECOL.BMP",
                            (pictures / L"TRUECOL.BMP").c_str(), FALSE));
    StartAt(3);
    ASSERT_TRUE(st().PaletteDisplay);
    ASSERT_TRUE(core().Pictures().ReductionLibraryLoaded());
    const std::vector<PALETTEENTRY> gridPalette =
        EntriesOf(core().Pictures().PlaceholderBitmap().Palette());
    const std::vector<PALETTEENTRY> before = SystemPalette();

    std::vector<PALETTEENTRY> shown;
    View(VK_RETURN, 0, [&](TfrmSlide& f) {
        const Picture& picture = f.imgSlide1().Held();
        ASSERT_FALSE(picture.Empty());
        DIBSECTION ds = {};
        ASSERT_EQ(::GetObjectW(picture.Bitmap(), sizeof ds, &ds), int(sizeof ds));
        EXPECT_EQ(ds.dsBmih.biBitCount, 8); // reduced through the colour-reduction library
        EXPECT_EQ(ds.dsBm.bmWidth, 200);
        ASSERT_NE(picture.Palette(), nullptr);
        shown = EntriesOf(picture.Palette());
        EXPECT_EQ(shown.size(), 256u);
        ScreenPixel(f, 10, 10); // painted
        // The picture's palette is the one realised on the screen now.
        EXPECT_GT(Held(SystemPalette(), shown), 200);
        // The reduction's progress text is gone.
        EXPECT_FALSE(::IsWindowVisible(WaitWindow::Handle()));
    });
    // The grid's palette is realised again: the screen holds its colours as before.
    const std::vector<PALETTEENTRY> after = SystemPalette();
    EXPECT_EQ(Held(after, gridPalette), Held(before, gridPalette));
    EXPECT_GT(Held(after, gridPalette), 150);
}
