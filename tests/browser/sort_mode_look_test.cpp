// Sort mode on the real window: the picks' colour on the grid, and a resize that compacts
// the list under the picks.
#include "browser/menu.h"
#include "support/browser_fixture.h"

using namespace tovn;
using namespace tovn::test;

class SortModeLook : public BrowserFixture {
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

TEST_F(SortModeLook, APickShowsYellowAndEscRestoresTheLook) {
    int cw = st().CellWidth, ch = st().CellHeight;
    COLORREF bottomBefore = Pixel(cw + cw / 2, ch - 3);
    GoTo(1);
    Key(VK_DELETE);
    EXPECT_EQ(Pixel(cw + cw / 2, ch - 3), bottomBefore ^ RGB(255, 255, 0)); // yellow pick
    Key(VK_ESCAPE);
    EXPECT_EQ(Pixel(cw + cw / 2, ch - 3), bottomBefore);
}

TEST_F(SortModeLook, ResizeKeepsPicksValid) {
    ::SendMessageW(w().Handle(), WM_COMMAND, idN5, 0);
    Pump();
    int cw = st().CellWidth, ch = st().CellHeight;
    auto RightClick = [&](int cell) {
        int row = (cell - 1) / 3, col = (cell - 1) % 3;
        ClickGrid(1, col * cw + 5, row * ch + ch / 2);
        Pump();
    };
    RightClick(3);
    RightClick(2);
    ASSERT_EQ(st().SortList->size(), 2u);
    st().FileList.insert(st().FileList.begin(), Slot{}); // a hole before the picks
    for (auto& p : *st().SortList) ++p.index;
    ::SetWindowPos(w().Handle(), nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ((*st().SortList)[0].index, 2);
    GoTo(4); // E
    Key(VK_INSERT);
    EXPECT_EQ(Order(), L"ADCBE");
}
