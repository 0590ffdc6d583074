#include "core/prefetch_plan.h"
#include "state_fixture.h"
#include <gtest/gtest.h>

using namespace tovn;

TEST(PrefetchPlan, NextPageFirstThenPreviousWithoutEmptySlots) {
    // Pages of 4: F0-F3, F4-F7 (F5 empty), F8-F11, F12-F13.
    BrowserState s = StateWith(14, 2);
    s.FileList[5].name.clear();
    s.CurrentPage = 2;
    EXPECT_EQ(PrefetchOrder(s), (std::vector<int>{8, 9, 10, 11, 0, 1, 2, 3}));
    s.CurrentPage = 4; // the last page, half full: only the one before it
    EXPECT_EQ(PrefetchOrder(s), (std::vector<int>{8, 9, 10, 11}));
    s.CurrentPage = 3; // the next page is cut short by the end of the list
    EXPECT_EQ(PrefetchOrder(s), (std::vector<int>{12, 13, 4, 6, 7}));
    s.CurrentPage = 1;
    s.FileList.resize(4);
    EXPECT_TRUE(PrefetchOrder(s).empty()) << "a single page has nothing ahead";
}

TEST(PrefetchPlan, KeepsThreePagesAtMost) {
    BrowserState s = StateWith(40, 2);
    s.CurrentPage = 3; // slots 8-11; kept: 4-15
    int kept = 0;
    for (int slot = -1; slot <= 40; ++slot) kept += KeepsSlot(s, slot);
    EXPECT_EQ(kept, 3 * s.CellsPerPage);
    EXPECT_FALSE(KeepsSlot(s, 3));
    EXPECT_TRUE(KeepsSlot(s, 4));
    EXPECT_TRUE(KeepsSlot(s, 15));
    EXPECT_FALSE(KeepsSlot(s, 16));
    // Every slot decoded ahead is one that is kept: prefetching never pushes out its own work.
    for (int slot : PrefetchOrder(s)) EXPECT_TRUE(KeepsSlot(s, slot)) << slot;
}
