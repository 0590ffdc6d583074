// Sort mode through the dispatcher on the real browser, with a screen and a place in memory.
#include "browser/menu.h"
#include "support/core_fixture.h"

using namespace tovn;
using namespace tovn::test;

class SortMode : public CoreFixture {
protected:
    void SetUp() override { Show({L"A.BMP", L"B.BMP", L"C.BMP", L"D.BMP", L"E.BMP"}, 3); }
    void GoTo(int slot) {
        Key(VK_PRIOR, ssShift);
        for (int i = 0; i < slot; ++i) Key(VK_RIGHT);
    }
    // A right click on the cell of the 600-pixel grid.
    void RightClick(int cell) {
        const int row = (cell - 1) / 3, column = (cell - 1) % 3;
        browser.MouseDown(1, column * 200 + 5, row * 200 + 100, 600, 600);
    }
    std::wstring Picks() const {
        std::wstring p;
        for (const NamedIndex& n : *st().SortList) p += n.name.substr(0, 1);
        return p;
    }
};

TEST_F(SortMode, PicksEThenBInFrontOfA) {
    GoTo(4);
    Key(VK_DELETE); // start and pick E
    EXPECT_EQ(view.status[0], L"Sort");
    GoTo(1);
    Key(VK_DELETE); // pick B
    EXPECT_EQ(Picks(), L"EB");
    GoTo(0);
    const auto screen = ScreenDuring([&] { Key(VK_INSERT); });
    EXPECT_EQ(Order(), L"EBACD");
    EXPECT_EQ(CursorName(), L"A.BMP");
    EXPECT_EQ(st().CursorCell, 3);
    EXPECT_FALSE(st().SortMode);
    EXPECT_FALSE(st().SortList.has_value());
    EXPECT_EQ(view.status[0], L"Normal");
    for (const Slot& s : st().FileList) EXPECT_EQ(s.mark, 0);
    // The picks' bands go before the new order is painted.
    EXPECT_EQ(view.Only({L"RefreshBands", L"PaintPage", L"StatusBar"}),
              (std::vector<std::wstring>{L"RefreshBands", L"PaintPage 1", L"StatusBar"}));
    EXPECT_EQ(st().PageCells[1].name, L"E.BMP");
}

TEST_F(SortMode, PickTwiceUnpicksAndEscUndoesEveryPick) {
    GoTo(1);
    Key(VK_DELETE);
    EXPECT_EQ(st().FileList[1].mark, 1);
    GoTo(1);
    Key(VK_DELETE);
    EXPECT_TRUE(st().SortList->empty());
    EXPECT_EQ(st().FileList[1].mark, 0);
    Key(VK_DELETE); // pick C (the cursor moved on)
    EXPECT_EQ(Picks(), L"C");
    Key(VK_ESCAPE);
    EXPECT_EQ(Order(), L"ABCDE");
    for (const Slot& s : st().FileList) EXPECT_EQ(s.mark, 0);
    EXPECT_FALSE(st().SortMode);
    EXPECT_TRUE(view.IsOpen());
    EXPECT_EQ(dialogs.messages.size(), 0u); // Esc in sort mode does not ask to quit
}

TEST_F(SortMode, HomePicksAllAndThenApplyIsRefused) {
    Key(VK_DELETE);
    Key(VK_HOME); // unpick all
    EXPECT_TRUE(st().SortList->empty());
    Key(VK_HOME); // pick every file in list order
    EXPECT_EQ(Picks(), L"ABCDE");
    Key(VK_INSERT); // the cursor's file is picked itself
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(st().SortMode);
    Key(VK_HOME);
    Key(VK_INSERT); // nothing picked
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_EQ(Order(), L"ABCDE");
}

TEST_F(SortMode, EmptySlotsVanishWhenTheOrderIsApplied) {
    st().FileList.insert(st().FileList.begin() + 2, Slot{});
    GoTo(3); // D: the fourth file, slot 4 after the hole
    Key(VK_DELETE);
    GoTo(0);
    Key(VK_INSERT);
    EXPECT_EQ(Order(), L"DABCE");
}

TEST_F(SortMode, MenuStartsWithoutAPickAndAppliesWithABeep) {
    Key(VK_SPACE); // an ordinary mark is cleared by the start
    Menu(idN5);
    EXPECT_TRUE(st().SortMode);
    EXPECT_TRUE(st().SortList->empty());
    EXPECT_EQ(st().FileList[0].mark, 0);
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(view.status[0], L"Sort");
    Menu(idN5); // nothing picked: refused
    EXPECT_TRUE(st().SortMode);
    EXPECT_EQ(dialogs.beeps, 3);
    RightClick(3);
    GoTo(0);
    Menu(idN5); // applied from the menu, the band hidden around it
    EXPECT_FALSE(st().SortMode);
    EXPECT_EQ(Order(), L"CABDE");
}

TEST_F(SortMode, RightClicksPickInOrder) {
    Menu(idN5);
    for (int cell : {3, 5, 2, 5}) RightClick(cell); // the second click on E unpicks it
    EXPECT_EQ(Picks(), L"CB");
    EXPECT_EQ((*st().SortList)[1].index, 1);
    EXPECT_EQ(CursorName(), L"E.BMP"); // the click moves the cursor
    GoTo(4);                           // E
    Key(VK_INSERT);
    EXPECT_EQ(Order(), L"ADCBE");
}

TEST_F(SortMode, AClickOnAnEmptyCellBeepsAndPicksNothing) {
    Menu(idN5);
    dialogs.beeps = 0;
    RightClick(7);
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(st().SortList->empty());
    EXPECT_EQ(CursorName(), L"A.BMP");
}
