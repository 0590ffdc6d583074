#include "fileops/slot_edits.h"
#include <gtest/gtest.h>

using namespace tovn;

namespace {
BrowserState StateOf(int files, int n, int page, int cell) {
    BrowserState s;
    s.SetDispCountValue(n);
    for (int i = 0; i < files; ++i) s.FileList.push_back({L"F" + std::to_wstring(i), 0});
    s.PageCells.assign(s.CellsPerPage + 1, CellCache{});
    s.CurrentPage = page;
    s.CursorCell = cell;
    return s;
}
} // namespace

TEST(SlotEdits, InsertSpaceMovesTheCursorFileToTheNextPage) {
    BrowserState first = StateOf(5, 2, 1, 1); // cell 1: a whole page of empty slots
    EXPECT_EQ(InsertSpace(first), 4);
    ASSERT_EQ(first.FileList.size(), 9u);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(first.FileList[i].name.empty());
    EXPECT_EQ(first.FileList[4].name, L"F0");

    BrowserState last = StateOf(5, 2, 1, 4); // last cell: one empty slot
    EXPECT_EQ(InsertSpace(last), 1);
    EXPECT_TRUE(last.FileList[3].name.empty());
    EXPECT_EQ(last.FileList[4].name, L"F3");
    EXPECT_EQ(last.FileList.size(), 6u);

    BrowserState beyond = StateOf(10, 2, 1, 6); // a cursor past its page inserts nothing
    EXPECT_EQ(InsertSpace(beyond), 0);
    EXPECT_EQ(beyond.FileList.size(), 10u);
}

TEST(SlotEdits, InsertedAndRenamedSlots) {
    BrowserState s = StateOf(3, 2, 1, 2);
    s.FileList[1].mark = 1;
    InsertSlot(s, 1, L"ZZZZZ000.BMP");
    EXPECT_EQ(s.FileList[1].name, L"ZZZZZ000.BMP");
    EXPECT_EQ(s.FileList[1].mark, 0);
    EXPECT_EQ(s.FileList[2].mark, 1);
    InsertSlot(s, 4, L"END"); // at the end of the list
    InsertSlot(s, 9, L"FAR"); // beyond it: ignored
    EXPECT_EQ(s.FileList.size(), 5u);

    s.PageCells[3].name = L"F1";
    RenameSlot(s, 2, L"PIC007.BMP"); // cell 3 of the current page
    EXPECT_EQ(s.PageCells[3].name, L"PIC007.BMP");
    RenameSlot(s, 4, L"PIC008"); // page 2: only the list changes
    EXPECT_EQ(s.FileList[4].name, L"PIC008");
    EXPECT_EQ(s.PageCells[1].name, L"");
}

TEST(SlotEdits, CursorAfterRemoval) {
    BrowserState s = StateOf(4, 2, 1, 2);
    EXPECT_EQ(PlanAfterRemoval(s), CursorAfterRemoval::Stay);
    s.FileList[1].mark = 1;
    EmptySlot(s, 1);
    EXPECT_EQ(s.FileList[1].mark, 0);
    EXPECT_EQ(PlanAfterRemoval(s), CursorAfterRemoval::NextOnPage);
    s.CurrentPage = 3;
    EXPECT_EQ(PlanAfterRemoval(s), CursorAfterRemoval::FirstOfList);
}
