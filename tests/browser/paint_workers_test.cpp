// The page painted from the decode workers: each cell is its picture reduced by area
// averaging into the box its placement gives, a key pressed while the page fills is handled
// before the rest is drawn, and the lasting cache serves a page seen in an earlier run.
#include "core/geometry.h"
#include "imaging/area_reduce.h"
#include "picture/picture_host.h"
#include "support/browser_fixture.h"
#include <algorithm>
#include <cstdlib>

using namespace tovn;
using namespace tovn::test;

class PaintWorkers : public BrowserFixture {
protected:
    void SetUp() override { PutIni(L"Window", L"Img", L"2"); }
    int Decodes() { return core().Pictures().DecodeCount(); }
    COLORREF CellCentre(int cell) {
        int cw = st().CellWidth, ch = st().CellHeight;
        return Pixel(((cell - 1) % 2) * cw + cw / 2, ((cell - 1) / 2) * ch + ch * 2 / 3);
    }
    // The colour MakePictures gives picture number i.
    static COLORREF Colour(int i) { return RGB(i * 20, 100, 200); }

    // The serial reference: the whole picture decoded on this thread and reduced into its
    // box; each channel of the grid's pixels there within tolerance of it.
    void ExpectCellIsItsPictureReduced(const std::vector<uint32_t>& grid, int cell,
                                       const std::wstring& name, int tolerance) {
        SCOPED_TRACE(name);
        const LoadedPicture loaded = core().Pictures().LoadPicture(name, lpSlide, core().Source());
        ASSERT_TRUE(loaded.ok);
        const int pw = loaded.picture.Width(), ph = loaded.picture.Height();
        std::vector<uint32_t> whole(size_t(pw) * ph);
        BITMAPINFO header = CellBitmapInfo(pw, ph);
        UniqueMemDc dc(::CreateCompatibleDC(nullptr));
        ASSERT_EQ(::GetDIBits(dc.get(), loaded.picture.Bitmap(), 0, UINT(ph), whole.data(), &header,
                              DIB_RGB_COLORS),
                  ph);
        const PictureBox box =
            FitPlacement(pw, ph, (cell - 1) % 2, (cell - 1) / 2, st().CellWidth, st().CellHeight);
        const int bw = box.w - 2, bh = box.h - 2;
        std::vector<uint32_t> reduced(size_t(bw) * bh);
        imaging::AreaReduce({whole.data(), pw, ph, pw}, {reduced.data(), bw, bh, bw});
        const int gridWidth = w().Image().Width();
        int worst = 0;
        for (int y = 0; y < bh; ++y)
            for (int x = 0; x < bw; ++x)
                for (int shift : {0, 8, 16}) {
                    const uint32_t shown = grid[size_t(box.y + 1 + y) * gridWidth + box.x + 1 + x];
                    const int a = int(shown >> shift & 0xFF);
                    const int b = int(reduced[size_t(y) * bw + x] >> shift & 0xFF);
                    worst = std::max(worst, std::abs(a - b));
                }
        EXPECT_LE(worst, tolerance);
    }
};

TEST_F(PaintWorkers, CellsAreTheirPicturesReducedAsASerialPaintWould) {
    const std::vector<std::pair<std::wstring, SIZE>> page = {{L"A.BMP", {300, 200}},
                                                             {L"B.BMP", {120, 160}},
                                                             {L"C.BMP", {40, 30}},
                                                             {L"D.BMP", {700, 500}}};
    for (const auto& [name, size] : page) WriteSmoothBmp(pictures / name, size.cx, size.cy);
    Start();
    view().SetCursorBand(false); // the cursor's band off the first cell
    // Decoded on the workers and reduced from the whole picture: exactly the reference.
    std::vector<uint32_t> grid = GridPixels();
    for (int cell = 1; cell <= 4; ++cell)
        ExpectCellIsItsPictureReduced(grid, cell, page[cell - 1].first, 0);
    // From the lasting cache: pictures over its side come reduced twice, within 2 a channel.
    view().ResetPageCells();
    const int decodes = Decodes();
    view().PaintPage();
    EXPECT_EQ(Decodes(), decodes);
    grid = GridPixels();
    for (int cell = 1; cell <= 4; ++cell)
        ExpectCellIsItsPictureReduced(grid, cell, page[cell - 1].first, 2);
    EXPECT_EQ(dialogs.beeps, 0);
}

// Page Down from page 1 with another key already waiting: the page's paint yields before
// its first cell, the key is handled, and the idle loop draws what is still to draw.
TEST_F(PaintWorkers, KeyWaitingWhileThePageFillsIsHandledBeforeTheRestIsDrawn) {
    struct Case {
        WORD waiting;
        int page, cursorCell;
        int cellsDrawnByTheKey; // Page Down draws its own page
    };
    for (const Case& c : {Case{VK_RIGHT, 2, 2, 0}, Case{VK_NEXT, 3, 1, 4}}) {
        SCOPED_TRACE(c.waiting);
        MakePictures(12); // pages P01-P04, P05-P08, P09-P12
        Start();
        const int drawn = w().Painter().DecodeCount();
        ::PostMessageW(w().Handle(), WM_KEYDOWN, c.waiting, 0);
        WORD next = VK_NEXT;
        SendKey(next);
        EXPECT_EQ(w().Painter().DecodeCount(), drawn) << "a cell was drawn before the waiting key";
        int drawnAtKey = -1;
        core().afterKey = [&](WORD) { drawnAtKey = w().Painter().DecodeCount(); };
        RunIdle();
        EXPECT_EQ(drawnAtKey, drawn + c.cellsDrawnByTheKey);
        EXPECT_EQ(st().CurrentPage, c.page);
        EXPECT_EQ(st().CursorCell, c.cursorCell);
        // Every cell shows its own picture, and the cursor's band is over the cursor's cell.
        const int first = (c.page - 1) * 4;
        for (int cell = 1; cell <= 4; ++cell) EXPECT_EQ(CellCentre(cell), Colour(first + cell));
        const int cw = st().CellWidth, ch = st().CellHeight;
        for (int cell = 1; cell <= 2; ++cell) {
            const COLORREF band = Pixel((cell - 1) * cw + cw / 2, ch / 3 - 2);
            const COLORREF picture = Colour(first + cell);
            EXPECT_EQ(band, cell == c.cursorCell ? picture ^ RGB(255, 255, 0) : picture) << cell;
        }
        EXPECT_EQ(dialogs.beeps, 0);
        window.reset();
        Pump();
    }
}

TEST_F(PaintWorkers, LastingCacheServesTheNextRunUntilAFileChanges) {
    struct Case {
        const wchar_t* megabytes;
        int decodesOnSecondRun;
    };
    for (const Case& c : {Case{L"256", 0}, Case{L"0", 4}}) {
        SCOPED_TRACE(c.megabytes);
        PutIni(L"ETC", L"ThumbnailCacheMB", c.megabytes);
        MakePictures(4);
        Start();
        window.reset(); // the program ends
        Pump();
        Start();
        EXPECT_EQ(Decodes(), c.decodesOnSecondRun);
        for (int cell = 1; cell <= 4; ++cell) EXPECT_EQ(CellCentre(cell), Colour(cell)) << cell;
        WriteSolidBmp(pictures / L"P02.BMP", 32, 24, 255, 255, 0);
        SetWrittenDaysAgo(pictures / L"P02.BMP", 4);
        const int before = Decodes();
        Key('S');
        EXPECT_EQ(Decodes(), before + 1);
        EXPECT_EQ(CellCentre(2), RGB(255, 255, 0));
        window.reset();
        Pump();
    }
}
