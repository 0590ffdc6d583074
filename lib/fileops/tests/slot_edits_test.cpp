#include "fileops/slot_edits.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

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

// A command's change, handed over as a value, does what the edit of its kind does, and says
// how many slots it added.
TEST(SlotEdits, ChangesHandedToTheBrowser) {
    const struct {
        SlotChanges change;
        int added;
        std::vector<std::wstring> names; // the list afterwards
    } cases[] = {
        {SlotChanges::Emptied(1), 0, {L"F0", L"", L"F2"}},
        {SlotChanges::Emptied(7), 0, {L"F0", L"F1", L"F2"}},
        {SlotChanges::Renamed(2, L"R.BMP"), 0, {L"F0", L"F1", L"R.BMP"}},
        {SlotChanges::Inserted(0, L"N.BMP"), 1, {L"N.BMP", L"F0", L"F1", L"F2"}},
        {SlotChanges::Inserted(9, L"N.BMP"), 0, {L"F0", L"F1", L"F2"}},
        {SlotChanges::Appended(L"TOVN_000.BMP"), 1, {L"F0", L"F1", L"F2", L"TOVN_000.BMP"}},
        {SlotChanges::SpaceAtCursor(), 3, {L"F0", L"", L"", L"", L"F1", L"F2"}},
    };
    for (const auto& c : cases) {
        BrowserState s = StateOf(3, 2, 1, 2);
        EXPECT_EQ(ApplySlotChanges(s, c.change), c.added) << int(c.change.kind);
        std::vector<std::wstring> names;
        for (const Slot& slot : s.FileList) names.push_back(slot.name);
        EXPECT_EQ(names, c.names) << int(c.change.kind);
    }
}
