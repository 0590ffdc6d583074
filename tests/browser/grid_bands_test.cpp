// The grid's bands follow the state through every command that once drew or removed a band
// itself: keys, mouse, scroll bar, the slide viewer, sort mode, the count chooser and the
// conversion. After each, what the screen gets is the canvas with the state's bands XORed on.
#include "browser/menu.h"
#include "core/slots.h"
#include "slide/tests/slide_fixture.h"

using namespace tovn;
using namespace tovn::test;

namespace {

class GridBands : public SlideFixture {
protected:
    void Check(const char* step) {
        SCOPED_TRACE(step);
        ExpectGridShowsBands();
    }
    void Menu(int id) {
        ::SendMessageW(w().Handle(), WM_COMMAND, id, 0);
        Pump();
    }
    void Click(int button, int cell) {
        const int n = st().DispCount, cw = st().CellWidth, ch = st().CellHeight;
        ClickGrid(button, ((cell - 1) % n) * cw + cw / 2, ((cell - 1) / n) * ch + ch / 2);
        Pump();
    }
    void Scroll(int code) {
        ::SendMessageW(w().Handle(), WM_VSCROLL, MAKEWPARAM(code, 0),
                       reinterpret_cast<LPARAM>(w().ScrollBar()));
        Pump();
    }
    // The screen colour at the middle of a third (0 top, 1 middle, 2 bottom) of cell.
    COLORREF ThirdOf(int cell, int third) {
        const int n = st().DispCount, cw = st().CellWidth, ch = st().CellHeight;
        return Pixel(((cell - 1) % n) * cw + cw / 2,
                     ((cell - 1) / n) * ch + ch * third / 3 + ch / 6);
    }
};

} // namespace

TEST_F(GridBands, EveryCommandLeavesTheScreenWithTheStatesBands) {
    MakePictures(14, 60, 40);
    WriteMag(L"Q.MAG", 64, 40, 0, 0, 2);
    StartAt(3);
    Check("start");
    Key(VK_RIGHT);
    Key(VK_SPACE);
    Check("space marks and moves on");
    Key(VK_DOWN);
    Check("row down");
    Key(VK_NEXT);
    Check("next page");
    Key(VK_PRIOR);
    Check("previous page");
    Click(0, 5);
    Check("click");
    Click(1, 6);
    ASSERT_EQ(st().FileList[5].mark, 1);
    Check("right click marks");
    Scroll(SB_LINEDOWN);
    Check("scroll bar line");
    Scroll(SB_PAGEDOWN);
    Check("scroll bar page");
    Key(VK_PRIOR, ssShift);
    Key(VK_HOME); // the marks go
    Check("home");
    View(VK_RETURN, ssShift, [&](TfrmSlide& f) {
        Check("show opened");
        Press(f, 'N');
        Check("show next");
        Press(f, 'M');
        ASSERT_EQ(st().FileList[1].mark, 1);
        Check("show mark");
        Press(f, 'B');
        Check("show back");
        for (int i = 0; i < 9; ++i) Press(f, 'N'); // the next page follows the show
        Check("show on the next page");
        Press(f, VK_ESCAPE);
    });
    Check("show closed");
    View(VK_RETURN, 0, [&](TfrmSlide& f) { Press(f, 'M'); });
    Check("view, mark and close");
    Menu(idN5);
    ASSERT_TRUE(st().SortMode);
    Check("sort mode on");
    Key(VK_DELETE);
    Check("sort pick");
    Menu(idN5);
    ASSERT_FALSE(st().SortMode);
    Check("sort applied");
    dialogs.choices.push_back({true, {pictures.Path(), L"", 2}});
    Menu(idK1);
    ASSERT_EQ(st().DispCount, 2);
    Check("count chooser");
    core().MoveCursorToSlot(FindName(st(), L"Q.MAG"));
    Check("cursor on the MAG picture");
    Menu(idConvertBMP1);
    ASSERT_NE(FindName(st(), L"Q.BMP"), -1);
    Check("conversion");
}

// Without SlideSync the grid keeps the page it shows while the show moves CurrentPage on:
// the cursor band stands at the cursor cell of the page the show reached, over the old
// page's cell, and the marks are those of the page painted. A picture marked on another
// page gets its band once the grid turns to that page.
TEST_F(GridBands, WithoutSyncTheGridKeepsItsPageAndItsOwnMarks) {
    MakePictures(6, 60, 40);
    PutIni(L"ETC", L"Slide", L"0");
    StartAt(2); // four cells a page
    const COLORREF plainBottom = ThirdOf(1, 2);
    View(VK_RETURN, ssShift, [&](TfrmSlide& f) {
        for (int i = 0; i < 4; ++i) Press(f, 'N'); // P05: page 2, cell 1
        ASSERT_EQ(st().CurrentPage, 2);
        EXPECT_EQ(st().PageCells[1].name, L"P01.BMP"); // the cells still show page 1
        ExpectGridShowsBands(1, true);
        Press(f, 'M'); // marks P05 and shows P06: the cursor goes to cell 2
        ASSERT_EQ(st().FileList[4].mark, 1);
        ASSERT_EQ(st().CursorCell, 2);
        ExpectGridShowsBands(1, true);
        EXPECT_EQ(ThirdOf(1, 2), plainBottom) << "P01 is not marked";
        Press(f, VK_ESCAPE);
    });
    EXPECT_EQ(st().PageCells[1].name, L"P05.BMP");
    EXPECT_EQ(st().FileList[4].mark, 1);
    ExpectGridShowsBands();
}
