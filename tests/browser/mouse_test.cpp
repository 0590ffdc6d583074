#include "support/browser_fixture.h"

using namespace tovn;
using namespace tovn::test;

class Mouse : public BrowserFixture {
protected:
    void SetUp() override {
        PutIni(L"Window", L"Img", L"3");
        MakePictures(12);
        Start();
    }
    void Click(int button, int cell) {
        int cw = st().CellWidth, ch = st().CellHeight;
        ClickGrid(button, ((cell - 1) % 3) * cw + cw / 2, ((cell - 1) / 3) * ch + ch / 2);
        Pump();
    }
    void Scroll(int code, int track = 0) {
        ::SendMessageW(w().Handle(), WM_VSCROLL, MAKEWPARAM(code, track),
                       reinterpret_cast<LPARAM>(w().ScrollBar()));
        Pump();
    }
};

TEST_F(Mouse, ClickMovesTheCursorAndRightClickMarks) {
    Click(0, 5);
    EXPECT_EQ(CursorName(), L"P05.BMP");
    EXPECT_EQ(Status(3), pictures.Path() + L"P05.BMP");
    EXPECT_EQ(::GetScrollPos(w().ScrollBar(), SB_CTL), 4);
    Click(1, 6);
    EXPECT_EQ(st().FileList[5].mark, 1);
    Click(1, 6);
    EXPECT_EQ(st().FileList[5].mark, 0);
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(Mouse, GreyCellsAndEmptySlotsOnlyBeep) {
    Key(VK_NEXT); // page 2: slots 9..11, cells 4..9 grey
    Click(0, 7);
    EXPECT_EQ(dialogs.beeps, 1);
    st().FileList[10].name.clear();
    Click(0, 2);
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_EQ(CursorName(), L"P10.BMP");
}

TEST_F(Mouse, ScrollArrowsPagesAndThumb) {
    Scroll(SB_LINEDOWN);
    Scroll(SB_ENDSCROLL);
    EXPECT_EQ(CursorName(), L"P02.BMP");
    Scroll(SB_PAGEDOWN);
    Scroll(SB_ENDSCROLL);
    EXPECT_EQ(CursorName(), L"P11.BMP");
    EXPECT_EQ(Status(2), L"Page : 2/2");
    Scroll(SB_THUMBTRACK, 0); // dragging changes nothing until the end
    EXPECT_EQ(CursorName(), L"P11.BMP");
    Scroll(SB_THUMBPOSITION, 0);
    Scroll(SB_ENDSCROLL);
    EXPECT_EQ(CursorName(), L"P01.BMP");
    Scroll(SB_THUMBPOSITION, 11);
    Scroll(SB_ENDSCROLL);
    EXPECT_EQ(CursorName(), L"P12.BMP");
}

TEST_F(Mouse, TheWheelTurnsAPagePerNotchAndAddsUpFineSteps) {
    Key('2'); // 2 x 2: three pages
    ASSERT_EQ(st().PageCount, 3);
    auto wheel = [&](int delta, WORD buttons = 0) {
        ::SendMessageW(w().Handle(), WM_MOUSEWHEEL, MAKEWPARAM(buttons, WORD(short(delta))),
                       MAKELPARAM(10, 10));
        Pump();
    };
    auto page = [&] { return st().CurrentPage; };
    wheel(-2 * WHEEL_DELTA); // two notches in one turn
    EXPECT_EQ(page(), 3);
    EXPECT_EQ(CursorName(), L"P09.BMP");
    wheel(WHEEL_DELTA);
    EXPECT_EQ(page(), 2);
    EXPECT_EQ(CursorName(), L"P05.BMP");
    wheel(-40);
    wheel(-40);
    EXPECT_EQ(page(), 2);
    wheel(-40);
    EXPECT_EQ(page(), 3);
    // Turning back forgets what was turned the other way.
    wheel(WHEEL_DELTA);
    wheel(100);
    wheel(-100);
    wheel(-20);
    EXPECT_EQ(page(), 3);
    // Shift as with the keys: to the first page, to the last page.
    wheel(WHEEL_DELTA, MK_SHIFT);
    EXPECT_EQ(page(), 1);
    wheel(-WHEEL_DELTA, MK_SHIFT);
    EXPECT_EQ(page(), 3);
    EXPECT_EQ(dialogs.beeps, 0);
}
