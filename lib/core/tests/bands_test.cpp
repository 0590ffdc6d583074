#include "core/bands.h"
#include "state_fixture.h"
#include <gtest/gtest.h>

using namespace tovn;

namespace {

// 3 × 3 cells of 30 × 31 pixels: a third is 10 pixels high.
BrowserState Grid(int files) {
    BrowserState s = StateWith(files, 3);
    s.CellWidth = 30;
    s.CellHeight = 31;
    return s;
}

Band At(int left, int top, int right, int bottom, uint32_t rgb) {
    return {{left, top, right, bottom}, rgb};
}

} // namespace

TEST(GridBands, CursorOnTopThirdAndMarksOnBottomThirdInEachModesColours) {
    struct Case {
        bool sortMode;
        uint32_t cursor, mark;
    } cases[] = {{false, kBandYellow, kBandRed}, {true, kBandRed, kBandYellow}};
    for (const Case& c : cases) {
        BrowserState s = Grid(9);
        s.SortMode = c.sortMode;
        s.CursorCell = 5; // row 1, column 1
        s.FileList[0].mark = 1;
        s.FileList[8].mark = 1;
        const std::vector<Band> want = {At(0, 21, 30, 31, c.mark), At(60, 83, 90, 93, c.mark),
                                        At(30, 31, 60, 41, c.cursor)};
        EXPECT_EQ(GridBands(s, 1, true), want) << "sort mode " << c.sortMode;
    }
}

TEST(GridBands, HiddenCursorLeavesOnlyTheMarks) {
    BrowserState s = Grid(9);
    s.CursorCell = 2;
    s.FileList[1].mark = 1;
    const std::vector<Band> want = {At(30, 21, 60, 31, kBandRed)};
    EXPECT_EQ(GridBands(s, 1, false), want);
    // The cursor and the mark of one cell are two bands, each XORed once.
    EXPECT_EQ(GridBands(s, 1, true).size(), 2u);
}

TEST(GridBands, MarksComeFromThePaintedPageOnly) {
    BrowserState s = Grid(14); // page 2 holds slots 9..13
    s.FileList[0].mark = 1;    // page 1, cell 1
    s.FileList[10].mark = 1;   // page 2, cell 2
    s.CurrentPage = 2;         // the show moved on; the grid still shows page 1
    s.CursorCell = 2;
    const std::vector<Band> page1 = {At(0, 21, 30, 31, kBandRed), At(30, 0, 60, 10, kBandYellow)};
    EXPECT_EQ(GridBands(s, 1, true), page1);
    const std::vector<Band> page2 = {At(30, 21, 60, 31, kBandRed)};
    EXPECT_EQ(GridBands(s, 2, false), page2);
    // Past the list's end a page has no marks, and empty slots carry none.
    EXPECT_TRUE(GridBands(s, 3, false).empty());
}

TEST(GridBands, NoBandsWhileTheCellsHaveNoSize) {
    for (auto size : {std::pair{0, 31}, std::pair{30, 0}, std::pair{0, 0}}) {
        BrowserState s = Grid(9);
        s.FileList[0].mark = 1;
        s.CellWidth = size.first;
        s.CellHeight = size.second;
        EXPECT_TRUE(GridBands(s, 1, true).empty()) << size.first << " x " << size.second;
    }
}

TEST(GridBands, CursorOutsideThePageDrawsNothing) {
    BrowserState s = Grid(9);
    for (int cell : {0, 10}) {
        s.CursorCell = cell;
        EXPECT_TRUE(GridBands(s, 1, true).empty()) << cell;
    }
}
