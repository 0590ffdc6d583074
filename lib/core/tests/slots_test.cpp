#include "core/slots.h"
#include "state_fixture.h"
#include <gtest/gtest.h>

using namespace tovn;

TEST(SlotArithmetic, IndexCellAndPageRoundTrip) {
    EXPECT_EQ(Index(1, 1, 9), 0);
    EXPECT_EQ(Index(2, 1, 9), 9);
    EXPECT_EQ(Index(1, 0, 9), -1);
    EXPECT_EQ(Index(0, 0, 9), -1);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(Index(PageOf(i, 9), CellOf(i, 9), 9), i);
}

TEST(SlotArithmetic, PageCountCountsEmptySlotsAndIsAtLeastOne) {
    EXPECT_EQ(PageCountFor(0, 16), 1);
    EXPECT_EQ(PageCountFor(32, 16), 2);
    EXPECT_EQ(PageCountFor(33, 16), 3);
    EXPECT_EQ(PageCountFor(10, 9), 2);
}

TEST(SlotArithmetic, CellRectanglesRunRowByRow) {
    CellRect r = CellRectOf(5, 3, 100, 80); // row 1, column 1
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 80);
    EXPECT_EQ(r.right, 200);
    EXPECT_EQ(r.bottom, 160);
}

TEST(CompactAndFind, CompactKeepsMarksWithTheirEntries) {
    BrowserState s = StateWith(5, 3, L"_a_");
    s.FileList[3].mark = 1;
    CompactList(s);
    ASSERT_EQ(s.FileList.size(), 3u);
    EXPECT_EQ(s.FileList[1].name, L"F3");
    EXPECT_EQ(s.FileList[1].mark, 1);
    EXPECT_EQ(FindName(s, L"f3"), 1);
    EXPECT_EQ(FindName(s, L"F9"), -1);
}

TEST(CollectTargetsTest, MarkedFilesInIndexOrderAndMarksCleared) {
    BrowserState s = StateWith(6, 3);
    s.FileList[4].mark = 1;
    s.FileList[1].mark = 1;
    const TargetList marked = CollectTargets(s);
    EXPECT_TRUE(marked.fromMarks);
    ASSERT_EQ(marked.items.size(), 2u);
    EXPECT_EQ(marked.items[0].index, 1);
    EXPECT_EQ(marked.items[0].name, L"F1");
    EXPECT_EQ(marked.items[1].index, 4);
    EXPECT_EQ(marked.items[1].name, L"F4");
    for (const Slot& slot : s.FileList) EXPECT_EQ(slot.mark, 0);
    // Taken once: a second collection finds no marks and falls back to the cursor file.
    EXPECT_FALSE(CollectTargets(s).fromMarks);
}

TEST(CollectTargetsTest, CursorFileWhenNothingMarkedAndNothingWhenEmpty) {
    BrowserState s = StateWith(6, 2);
    s.CurrentPage = 2;
    s.CursorCell = 2; // slot 5
    const TargetList cursor = CollectTargets(s);
    EXPECT_FALSE(cursor.fromMarks);
    ASSERT_EQ(cursor.items.size(), 1u);
    EXPECT_EQ(cursor.items[0].index, 5);
    EXPECT_EQ(cursor.items[0].name, L"F5");
    BrowserState empty = StateWith(0, 2);
    const TargetList none = CollectTargets(empty);
    EXPECT_FALSE(none.fromMarks);
    EXPECT_TRUE(none.items.empty());
}
