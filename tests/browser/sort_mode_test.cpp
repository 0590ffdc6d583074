#include "browser/menu.h"
#include "support/browser_fixture.h"

using namespace tovn;
using namespace tovn::test;

class SortMode : public BrowserFixture {
protected:
    void SetUp() override {
        PutIni(L"Window", L"Img", L"3");
        for (const wchar_t* n : {L"A.BMP", L"B.BMP", L"C.BMP", L"D.BMP", L"E.BMP"})
            WriteSolidBmp(pictures / n, 8, 8, 10, 20, 30);
        Start();
    }
    std::wstring Order() {
        std::wstring o;
        for (const Slot& s : st().FileList) o += s.name.empty() ? L"_" : s.name.substr(0, 1);
        return o;
    }
    void GoTo(int slot) {
        Key(VK_PRIOR, ssShift);
        for (int i = 0; i < slot; ++i) Key(VK_RIGHT);
    }
};

TEST_F(SortMode, PicksEThenBInFrontOfA) {
    GoTo(4);
    Key(VK_DELETE); // start and pick E
    EXPECT_EQ(Status(0), L"Sort");
    GoTo(1);
    Key(VK_DELETE); // pick B
    GoTo(0);
    Key(VK_INSERT);
    EXPECT_EQ(Order(), L"EBACD");
    EXPECT_EQ(CursorName(), L"A.BMP");
    EXPECT_EQ(st().CursorCell, 3);
    EXPECT_FALSE(st().SortMode);
    EXPECT_FALSE(st().SortList.has_value());
    EXPECT_EQ(Status(0), L"Normal");
}

TEST_F(SortMode, PickTwiceUnpicksAndEscRestoresTheLook) {
    int cw = st().CellWidth, ch = st().CellHeight;
    COLORREF bottomBefore = Pixel(cw + cw / 2, ch - 3);
    GoTo(1);
    Key(VK_DELETE);
    EXPECT_EQ(Pixel(cw + cw / 2, ch - 3), bottomBefore ^ RGB(255, 255, 0)); // yellow pick
    GoTo(1);
    Key(VK_DELETE);
    EXPECT_TRUE(st().SortList->empty());
    Key(VK_DELETE); // pick C (cursor moved on)
    Key(VK_ESCAPE);
    EXPECT_EQ(Order(), L"ABCDE");
    for (const Slot& s : st().FileList) EXPECT_EQ(s.mark, 0);
    EXPECT_EQ(Pixel(cw + cw / 2, ch - 3), bottomBefore);
    EXPECT_EQ(dialogs.messages.size(), 0u); // Esc in sort mode does not ask to quit
}

TEST_F(SortMode, HomePicksAllAndThenApplyIsRefused) {
    Key(VK_DELETE);
    Key(VK_HOME); // unpick all
    EXPECT_TRUE(st().SortList->empty());
    Key(VK_HOME); // pick every file in list order
    EXPECT_EQ(st().SortList->size(), 5u);
    Key(VK_INSERT);
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(st().SortMode);
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
    ::SendMessageW(w().Handle(), WM_COMMAND, idN5, 0);
    Pump();
    EXPECT_TRUE(st().SortMode);
    EXPECT_TRUE(st().SortList->empty());
    EXPECT_EQ(st().FileList[0].mark, 0);
    EXPECT_EQ(dialogs.beeps, 1);
    ::SendMessageW(w().Handle(), WM_COMMAND, idN5, 0); // nothing picked: refused
    Pump();
    EXPECT_TRUE(st().SortMode);
    EXPECT_EQ(dialogs.beeps, 3);
}

TEST_F(SortMode, RightClicksPickInOrderAndResizeKeepsPicksValid) {
    ::SendMessageW(w().Handle(), WM_COMMAND, idN5, 0);
    Pump();
    int cw = st().CellWidth, ch = st().CellHeight;
    auto RightClick = [&](int cell) {
        int row = (cell - 1) / 3, col = (cell - 1) % 3;
        ClickGrid(1, col * cw + 5, row * ch + ch / 2);
        Pump();
    };
    RightClick(3);
    RightClick(5);
    RightClick(2);
    RightClick(5); // unpick D
    ASSERT_EQ(st().SortList->size(), 2u);
    EXPECT_EQ((*st().SortList)[0].name, L"C.BMP");
    EXPECT_EQ((*st().SortList)[1].name, L"B.BMP");
    st().FileList.insert(st().FileList.begin(), Slot{}); // a hole before the picks
    for (auto& p : *st().SortList) ++p.index;
    ::SetWindowPos(w().Handle(), nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ((*st().SortList)[0].index, 2);
    GoTo(4); // E
    Key(VK_INSERT);
    EXPECT_EQ(Order(), L"ADCBE");
}
