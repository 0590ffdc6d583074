// The benchmark's page as the program sees it: unless every kind decodes through the
// program's own loader and plug-ins, the timings would measure placeholders.
#include "page_folder.h"
#include "picture/picture_host.h"
#include "support/browser_fixture.h"

using namespace tovn;
using namespace tovn::test;

namespace {

class PageInWindow : public BrowserFixture {
protected:
    void SetUp() override {
        bench::WritePage(pictures, page);
        PutIni(L"Window", L"Img", L"3");
        Start();
    }
    COLORREF CellCentre(int cell) {
        int cw = st().CellWidth, ch = st().CellHeight;
        return Pixel(((cell - 1) % 3) * cw + cw / 2, ((cell - 1) / 3) * ch + ch * 2 / 3);
    }
    std::vector<bench::PictureFile> page = bench::MakePage(8, 3);
};

TEST_F(PageInWindow, EveryKindDecodesAtItsOwnSize) {
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_EQ(w().Painter().DecodeCount(), 8);
    PictureSource source{st().CurrentDir, false, L""};
    for (const bench::PictureFile& f : page) {
        std::wstring name(f.name.begin(), f.name.end());
        const LoadedPicture loaded = core().Pictures().LoadPicture(name, lpThumbnail, source);
        ASSERT_TRUE(loaded.ok) << f.name;
        EXPECT_EQ(loaded.picture.Width(), f.width) << f.name;
        EXPECT_EQ(loaded.picture.Height(), f.height) << f.name;
    }
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(PageInWindow, PicturesFillTheirCellsAndTheLastCellStaysEmpty) {
    for (int cell = 1; cell <= 8; ++cell) {
        EXPECT_NE(CellCentre(cell), RGB(128, 128, 128)) << cell;
        EXPECT_NE(CellCentre(cell), ::GetSysColor(COLOR_BTNFACE)) << cell;
    }
    EXPECT_EQ(CellCentre(9), RGB(128, 128, 128));
}

} // namespace
