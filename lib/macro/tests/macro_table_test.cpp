#include "macro/macro_table.h"
#include <gtest/gtest.h>

using namespace tovn;

TEST(MacroTable, LettersEitherCaseDigitsAndShiftedDigitsSelectSlots) {
    EXPECT_EQ(MacroSlotOf(L'A'), 1);
    EXPECT_EQ(MacroSlotOf(L'b'), 2);
    EXPECT_EQ(MacroSlotOf(L'z'), 26);
    const wchar_t* digits = L"1234567890";
    const wchar_t* shifted = L"!\"#$%&?()?"; // "?": no character of its own
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(MacroSlotOf(digits[i]), 27 + i) << i;
        if (shifted[i] != L'?') {
            EXPECT_EQ(MacroSlotOf(shifted[i]), 27 + i) << i;
        }
    }
    for (wchar_t other : {L'\'', L' ', L'\r', L'\x1b', L'@', L'[', L'=', L'~', L'\0'})
        EXPECT_EQ(MacroSlotOf(other), 0) << static_cast<int>(other);
}

TEST(MacroTable, KeyNamesFollowTheSlots) {
    EXPECT_EQ(MacroKeyName(1), L"A:");
    EXPECT_EQ(MacroKeyName(26), L"Z:");
    EXPECT_EQ(MacroKeyName(27), L"1:");
    EXPECT_EQ(MacroKeyName(35), L"9:");
    EXPECT_EQ(MacroKeyName(36), L"0:");
}

TEST(MacroTable, HighlightStopsAtTheEndsAndJumpsBetweenColumns) {
    using M = HighlightMove;
    EXPECT_EQ(MoveHighlight(1, M::Up), 1);
    EXPECT_EQ(MoveHighlight(36, M::Down), 36);
    EXPECT_EQ(MoveHighlight(19, M::Up), 18);
    EXPECT_EQ(MoveHighlight(18, M::Down), 19);
    for (int s = 1; s <= 18; ++s) {
        EXPECT_EQ(MoveHighlight(s, M::Right), s + 18);
        EXPECT_EQ(MoveHighlight(s, M::Left), s);
        EXPECT_EQ(MoveHighlight(s + 18, M::Left), s);
        EXPECT_EQ(MoveHighlight(s + 18, M::Right), s + 18);
    }
}

TEST(MacroTable, LabelsStandInTwoColumnsOfEighteenRows) {
    SlotPlace a = PlaceOfSlot(1), r = PlaceOfSlot(18), s = PlaceOfSlot(19), zero = PlaceOfSlot(36);
    EXPECT_EQ(a.keyLeft, 8);
    EXPECT_EQ(a.textLeft, 32);
    EXPECT_EQ(a.top, 0);
    EXPECT_EQ(r.top, 272);
    EXPECT_EQ(s.keyLeft, 304);
    EXPECT_EQ(s.textLeft, 328);
    EXPECT_EQ(s.top, 0);
    EXPECT_EQ(zero.top, 272);
    EXPECT_EQ(PlaceOfSlot(27).top, 128); // "1" in the ninth row
}
