// The photo benchmark's view of the window: a page counts as drawn only once every cell
// shows its own file, so that the timings end at the last cell and not before it.
#include "photo_page.h"
#include "app/wait_window.h"
#include "support/browser_fixture.h"
#include <functional>
#include <vector>

using namespace tovn;
using namespace tovn::test;

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128); // an empty cell

class PhotoPage : public BrowserFixture {
protected:
    void SetUp() override {
        MakePictures(20);
        PutIni(L"Window", L"Img", L"3");
        Start();
        ASSERT_TRUE(bench::WaitDrawn(w()));
    }
    COLORREF CellCentre(int cell) {
        int cw = st().CellWidth, ch = st().CellHeight;
        return Pixel(((cell - 1) % 3) * cw + cw / 2, ((cell - 1) / 3) * ch + ch / 2);
    }
};

TEST_F(PhotoPage, DrawnPagesShowEveryCell) {
    EXPECT_EQ(w().Painter().DecodeCount(), 9);
    for (int cell = 1; cell <= 9; ++cell) EXPECT_NE(CellCentre(cell), kGrey) << cell;
    for (int page = 2; page <= 3; ++page) { // the last page: two pictures, seven empty cells
        WORD key = VK_NEXT;
        SendKey(key);
        ASSERT_TRUE(bench::WaitDrawn(w()));
    }
    EXPECT_EQ(st().CurrentPage, 3);
    EXPECT_TRUE(bench::PageDrawn(w()));
    EXPECT_NE(CellCentre(2), kGrey);
    EXPECT_EQ(CellCentre(3), kGrey);
    EXPECT_EQ(bench::UnreadCells(w()), 0);
}

TEST_F(PhotoPage, PagesNotYetDrawnAreSeenAsSuch) {
    struct Case {
        const char* what;
        std::function<void(BrowserState&)> undo;
    };
    const std::vector<Case> cases = {
        {"cells reset by a layout change", [](BrowserState& s) { s.PageCells.assign(10, {}); }},
        {"one cell still to come", [](BrowserState& s) { s.PageCells[9] = CellCache{}; }},
        {"another page shown", [](BrowserState& s) { s.CurrentPage = 2; }},
        {"more cells per page", [](BrowserState& s) { s.CellsPerPage = 16; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const BrowserState kept = st();
        c.undo(st());
        EXPECT_FALSE(bench::PageDrawn(w()));
        st() = kept;
        EXPECT_TRUE(bench::PageDrawn(w()));
    }
    ShowWaiting(L"Now Painting Images", w().Handle());
    EXPECT_FALSE(bench::PageDrawn(w())) << "a paint under way";
    ShowWaiting(L"", w().Handle());
    EXPECT_TRUE(bench::PageDrawn(w()));
}

TEST_F(PhotoPage, RedrawFromMemoryDrawsEveryCellWithoutDecoding) {
    RECT all = {0, 0, w().Image().Width(), w().Image().Height()};
    UniqueBrush grey(::CreateSolidBrush(kGrey));
    ::FillRect(w().Image().Canvas(), &all, grey.get());
    const int decodes = w().Painter().DecodeCount();
    bench::RedrawFromMemory(w());
    EXPECT_EQ(w().Painter().DecodeCount(), decodes);
    for (int cell = 1; cell <= 9; ++cell) EXPECT_NE(CellCentre(cell), kGrey) << cell;
}

TEST_F(PhotoPage, UnreadCellsCountPicturesThatDidNotDecode) {
    WriteTextFile(pictures / L"P02.BMP", "not a picture");
    WriteTextFile(pictures / L"P05.BMP", "BM and nothing after");
    SetWrittenDaysAgo(pictures / L"P02.BMP", 1);
    SetWrittenDaysAgo(pictures / L"P05.BMP", 1);
    view().ResetPageCells();
    view().PaintPage();
    ASSERT_TRUE(bench::WaitDrawn(w()));
    EXPECT_EQ(bench::UnreadCells(w()), 2);
}

TEST(PeakWorkingSet, GrowsWithMemoryTouched) {
    const size_t before = bench::PeakWorkingSet();
    ASSERT_GT(before, 0u);
    std::vector<char> block(64 << 20, 1);
    EXPECT_GE(bench::PeakWorkingSet(), before + block.size() / 2) << int(block[block.size() / 2]);
}

} // namespace
