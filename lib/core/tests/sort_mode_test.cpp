#include "core/sort_mode.h"
#include "state_fixture.h"
#include <gtest/gtest.h>

using namespace tovn;

namespace {

BrowserState Letters(const std::wstring& names) {
    BrowserState s;
    s.SetDispCountValue(3);
    for (wchar_t c : names) s.FileList.push_back({c == L'_' ? L"" : std::wstring(1, c), 0});
    s.SortList.emplace();
    return s;
}

void Pick(BrowserState& s, int slot) {
    s.FileList[slot].mark = 1;
    s.SortList->push_back({s.FileList[slot].name, slot});
}

std::wstring Order(const BrowserState& s) {
    std::wstring o;
    for (const Slot& x : s.FileList) o += x.name.empty() ? L"_" : x.name;
    return o;
}

} // namespace

TEST(SortApply, PicksGoInFrontOfTheAnchorInPickingOrder) {
    BrowserState s = Letters(L"ABCDE");
    Pick(s, 4);                         // E
    Pick(s, 1);                         // B
    EXPECT_EQ(ApplySortPicks(s, 0), 2); // anchor A, now cell 3
    EXPECT_EQ(Order(s), L"EBACD");
    for (const Slot& x : s.FileList) EXPECT_EQ(x.mark, 0);
    EXPECT_TRUE(s.SortList->empty());

    BrowserState t = Letters(L"ABCDE");
    Pick(t, 4);
    Pick(t, 1);
    EXPECT_EQ(ApplySortPicks(t, 3), 4); // anchor D
    EXPECT_EQ(Order(t), L"ACEBD");
}

TEST(SortApply, EveryEmptySlotDisappears) {
    BrowserState s = Letters(L"A_BC_D_");
    Pick(s, 5); // D
    EXPECT_EQ(ApplySortPicks(s, 2), 2);
    EXPECT_EQ(Order(s), L"ADBC");
}

TEST(SortApply, StalePickIndexesAreFoundByName) {
    BrowserState s = Letters(L"ABCD");
    s.SortList->push_back({L"D", 1}); // slot 1 holds B, not D
    EXPECT_EQ(ApplySortPicks(s, 0), 1);
    EXPECT_EQ(Order(s), L"DABC");
}

TEST(SortApply, AnEmptyAnchorChangesNothing) {
    BrowserState s = Letters(L"A_B");
    Pick(s, 2);
    EXPECT_EQ(ApplySortPicks(s, 1), -1);
    EXPECT_EQ(Order(s), L"A_B");
}
