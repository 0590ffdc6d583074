// The pages around the one shown are decoded while the program is idle, one picture per
// turn of the message loop, and shown from there without a decode.
#include "picture/picture_host.h"
#include "support/browser_fixture.h"

using namespace tovn;
using namespace tovn::test;

class Prefetch : public BrowserFixture {
protected:
    void SetUp() override {
        PutIni(L"Window", L"Img", L"2"); // pages of 4: P01-P04, P05-P08, P09-P10
        // The cell store alone: the lasting cache would serve what it lets go.
        PutIni(L"ETC", L"ThumbnailCacheMB", L"0");
        MakePictures(10);
        Start();
    }
    COLORREF CellCentre(int cell) {
        int cw = st().CellWidth, ch = st().CellHeight;
        return Pixel(((cell - 1) % 2) * cw + cw / 2, ((cell - 1) / 2) * ch + ch * 2 / 3);
    }
    // The colour MakePictures gives picture number i.
    static COLORREF Colour(int i) { return RGB(i * 20, 100, 200); }
    int Decodes() { return core().Pictures().DecodeCount(); }
    void MarkSlot(int slot) { core().SetMark(slot, true); }
};

TEST_F(Prefetch, NextPageShowsWithoutDecodingAndMemoryStaysWithinThreePages) {
    EXPECT_EQ(w().Painter().PrefetchCount(), 0)
        << "nothing is decoded ahead before the loop is idle";
    RunIdle();
    EXPECT_EQ(w().Painter().PrefetchCount(), 4);
    int decodes = Decodes();
    Key(VK_NEXT);
    EXPECT_EQ(Decodes(), decodes);
    for (int cell = 1; cell <= 4; ++cell) EXPECT_EQ(CellCentre(cell), Colour(cell + 4)) << cell;
    // Page 1 was kept from its own paint: only page 3 is decoded ahead.
    RunIdle();
    EXPECT_EQ(w().Painter().PrefetchCount(), 6);
    decodes = Decodes();
    Key(VK_PRIOR);
    EXPECT_EQ(Decodes(), decodes);
    EXPECT_EQ(CellCentre(2), Colour(2));
    Key(VK_NEXT);
    Key(VK_NEXT);
    EXPECT_EQ(Decodes(), decodes);
    EXPECT_EQ(CellCentre(2), Colour(10));
    EXPECT_EQ(CellCentre(3), RGB(128, 128, 128));
    // On page 3 page 1 is let go.
    RunIdle();
    EXPECT_EQ(w().Painter().CellPictures().Size(), 6u);
    EXPECT_EQ(Decodes(), decodes) << "nothing new to decode ahead";
    Key(VK_PRIOR);
    EXPECT_EQ(Decodes(), decodes);
    Key(VK_PRIOR);
    EXPECT_EQ(Decodes(), decodes + 4);
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(Prefetch, KeyPressedWhilePrefetchingIsHandledBeforeTheNextDecode) {
    MSG msg;
    const int decodes = Decodes();
    while (w().Painter().PrefetchCount() < 1)
        ASSERT_NE(RunLoopTurn(w(), msg, false), LoopTurn::Idle);
    int prefetchedAtKey = -1;
    core().afterKey = [&](WORD) { prefetchedAtKey = w().Painter().PrefetchCount(); };
    ::PostMessageW(w().Handle(), WM_KEYDOWN, VK_NEXT, 0);
    RunIdle();
    EXPECT_EQ(prefetchedAtKey, 1);
    EXPECT_EQ(st().CurrentPage, 2);
    // Each picture is decoded once, ahead or by the page's paint: page 2's four, then page
    // 3's two ahead (page 1 stays in the store from its own paint).
    EXPECT_EQ(core().Pictures().DecodeCount() - decodes, 4 + 2);
    for (int cell = 1; cell <= 4; ++cell) EXPECT_EQ(CellCentre(cell), Colour(cell + 4)) << cell;
}

TEST_F(Prefetch, PictureChangedAfterPrefetchIsDecodedAgain) {
    RunIdle();
    WriteSolidBmp(pictures / L"P06.BMP", 32, 24, 255, 255, 0);
    SetWrittenDaysAgo(pictures / L"P06.BMP", 10);
    int decodes = Decodes();
    Key(VK_NEXT);
    EXPECT_EQ(Decodes(), decodes + 1);
    EXPECT_EQ(CellCentre(1), Colour(5));
    EXPECT_EQ(CellCentre(2), RGB(255, 255, 0));
}

TEST_F(Prefetch, DamagedPictureIsReportedWhenShownNotWhenDecodedAhead) {
    WriteTextFile(pictures / L"P07.BMP", "not a picture");
    RunIdle();
    EXPECT_EQ(dialogs.beeps, 0);
    Key(VK_NEXT);
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(CellCentre(2), Colour(6));
}

TEST_F(Prefetch, PageFromTheStoreLooksAsTheDecodedPage) {
    // Pictures of page 2 in other shapes, so placement and frames show.
    WriteSolidBmp(pictures / L"P05.BMP", 40, 30, 255, 0, 0);
    WriteSolidBmp(pictures / L"P06.BMP", 30, 40, 0, 255, 0);
    WriteSolidBmp(pictures / L"P07.BMP", 10, 10, 0, 0, 255);
    WriteSolidBmp(pictures / L"P08.BMP", 33, 17, 200, 50, 90);
    MarkSlot(5);
    RunIdle();
    int decodes = Decodes();
    Key(VK_NEXT);
    ASSERT_EQ(Decodes(), decodes);
    const std::vector<uint32_t> stored = GridPixels();
    view().ResetPageCells();
    view().PaintPage();
    EXPECT_EQ(Decodes(), decodes + 4);
    EXPECT_TRUE(stored == GridPixels()) << "the page drawn ahead differs from its decoded paint";
}

// Cells let go (replaced, no longer around, or a new layout) give their pixels to the cells
// to come, at most a few pages' worth.
TEST(CellStoreSpare, CellsLetGoLendTheirPixelsToTheNext) {
    CellStore store;
    store.UseSource(L"C:\\pics\\|");
    auto cell = [](uint32_t colour) {
        CellPicture p;
        p.width = 4;
        p.height = 3;
        p.pixels.assign(12, colour);
        return p;
    };
    EXPECT_TRUE(store.TakeSpare().empty());
    store.Put(L"a.mag", cell(1));
    const uint32_t* first = store.Find(L"a.mag", 0, 4, 3)->pixels.data();
    store.Put(L"a.mag", cell(2)); // drawn again
    std::vector<uint32_t> spare = store.TakeSpare();
    EXPECT_EQ(spare.data(), first);
    EXPECT_TRUE(store.TakeSpare().empty());
    store.Put(L"b.mag", cell(3));
    store.KeepOnly([](const std::wstring& name) { return name == L"b.mag"; });
    EXPECT_EQ(store.Size(), 1u);
    EXPECT_EQ(store.TakeSpare().capacity(), 12u);
    store.UseSource(L"C:\\other\\|");
    EXPECT_EQ(store.Size(), 0u);
    EXPECT_EQ(store.TakeSpare().capacity(), 12u);
    for (int i = 0; i < 400; ++i) store.Put(std::to_wstring(i), cell(4));
    store.Clear();
    int kept = 0;
    while (!store.TakeSpare().empty()) ++kept;
    EXPECT_EQ(kept, 300);
}
