#include "support/browser_fixture.h"
#include "core/slots.h"
#include "win/ui_font.h"
#include <commctrl.h>

using namespace tovn;
using namespace tovn::test;

class Grid : public BrowserFixture {};

TEST_F(Grid, CursorBandXorsTheTopThirdAndEmptyCellsAreGrey) {
    PutIni(L"Window", L"Img", L"2");
    MakePictures(3);
    Start();
    int cw = st().CellWidth, ch = st().CellHeight;
    ASSERT_GT(cw, 10);
    // Cell 4 is past the end of the list: grey with a white outline.
    EXPECT_EQ(Pixel(cw + cw / 2, ch + ch / 2), RGB(128, 128, 128));
    EXPECT_EQ(Pixel(cw, ch + ch / 2), RGB(255, 255, 255));
    // The cursor band covers the top third of cell 1 and nothing below it.
    COLORREF inBand = Pixel(cw / 2, 2), below = Pixel(cw / 2, ch / 3 + 2);
    EXPECT_NE(inBand, below);
    Key(VK_RIGHT); // moving the cursor restores the cell exactly
    EXPECT_EQ(Pixel(cw / 2, 2), below);
    COLORREF yellowXor = Pixel(cw + cw / 2, 2) ^ RGB(255, 255, 0);
    EXPECT_EQ(yellowXor & 0xFFFFFF, Pixel(cw + cw / 2, ch / 3 + 2) & 0xFFFFFF);
}

TEST_F(Grid, TheStatusBarFontShowsUnderscoresAndTheBarHoldsItsCharacters) {
    MakePictures(1);
    Start();
    HWND bar = w().StatusBar();
    auto font = reinterpret_cast<HFONT>(::SendMessageW(bar, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(ShowsUnderscore(font));
    UniqueMemDc dc(::CreateCompatibleDC(nullptr));
    SelectIn useFont(dc.get(), font);
    TEXTMETRICW tm{};
    ASSERT_TRUE(::GetTextMetricsW(dc.get(), &tm));
    RECT panel{};
    ASSERT_TRUE(::SendMessageW(bar, SB_GETRECT, 3, reinterpret_cast<LPARAM>(&panel)));
    EXPECT_GE(panel.bottom - panel.top, tm.tmHeight);
}

TEST_F(Grid, MarkBandCoversTheBottomThird) {
    PutIni(L"Window", L"Img", L"2");
    MakePictures(3);
    Start();
    int cw = st().CellWidth, ch = st().CellHeight;
    COLORREF before = Pixel(cw / 2, ch - 3);
    Key(VK_SPACE);
    COLORREF after = Pixel(cw / 2, ch - 3);
    EXPECT_EQ(after, before ^ RGB(255, 0, 0));
}

TEST_F(Grid, VanishedFileBecomesAnEmptySlot) {
    PutIni(L"Window", L"Img", L"3");
    MakePictures(5);
    Start();
    Key(VK_RIGHT); // P02
    ::DeleteFileW((pictures / L"P02.BMP").c_str());
    EXPECT_FALSE(core().CheckSlotFile(1));
    EXPECT_TRUE(st().FileList[1].name.empty());
    EXPECT_EQ(CursorName(), L"P03.BMP");
    int cw = st().CellWidth, ch = st().CellHeight;
    EXPECT_EQ(Pixel(cw + cw / 2, ch / 2), RGB(128, 128, 128));
    EXPECT_EQ(Status(1), L"Disp : 3*3(2)");
    EXPECT_FALSE(core().CheckSlotFile(99));
    EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(Grid, RepaintOfAnUnchangedPageDecodesNothing) {
    MakePictures(4);
    Start();
    int first = w().Painter().DecodeCount();
    EXPECT_EQ(first, 4);
    Key('S'); // re-read: same folder, same dates
    EXPECT_EQ(w().Painter().DecodeCount(), first);
    Key('S', ssShift); // Shift forgets the page's cells; the lasting cache still has them
    EXPECT_EQ(w().Painter().DecodeCount(), first);
    SetWrittenDaysAgo(pictures / L"P02.BMP", 3);
    Key('S', ssShift);
    EXPECT_EQ(w().Painter().DecodeCount(), first + 1);
}

TEST_F(Grid, ResizeCompactsEmptySlotsKeepingTheCursorFile) {
    MakePictures(6);
    Start();
    for (int i = 0; i < 4; ++i) Key(VK_RIGHT); // P05
    st().FileList[1].name.clear();
    ::SetWindowPos(w().Handle(), nullptr, 0, 0, 600, 400, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ(st().FileList.size(), 5u);
    EXPECT_EQ(CursorName(), L"P05.BMP");
    EXPECT_EQ(st().CursorCell, 4);
}
