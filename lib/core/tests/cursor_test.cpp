#include "core/slots.h"
#include "state_fixture.h"
#include <gtest/gtest.h>

using namespace tovn;

TEST(GoToCell, RightOnTheLastFileStaysOnIt) {
    BrowserState s = StateWith(5, 3);
    s.CursorCell = 5;
    CursorTarget t = FindGoToCellTarget(s, 1, 5, true);
    ASSERT_TRUE(t.found);
    EXPECT_EQ(t.slot, 4);
}

TEST(GoToCell, SkipsEmptySlotsAndMayLeaveThePage) {
    BrowserState s = StateWith(12, 2, L"a_____");
    // Slots 1..5 are empty: from slot 1 the next file is slot 6, on page 2.
    CursorTarget t = FindGoToCellTarget(s, 1, 2, true);
    EXPECT_EQ(t.slot, 6); // page 2
    CursorTarget stay = FindGoToCellTarget(s, 1, 2, false);
    EXPECT_EQ(stay.slot, 0); // back to the nearest file at or before the cursor
}

TEST(GoToCell, MarkingTheLastFileOfAPageKeepsTheCursorThere) {
    BrowserState s = StateWith(8, 2); // page 1 = slots 0..3
    CursorTarget t = FindGoToCellTarget(s, 1, 4, false);
    EXPECT_EQ(t.slot, 3);
}

TEST(GoToCell, NoFileLeftIsReported) {
    BrowserState s = StateWith(3, 2, L"___");
    EXPECT_FALSE(FindGoToCellTarget(s, 1, 1, true).found);
    EXPECT_FALSE(FindPreviousCellTarget(s, 1, 1).found);
}

TEST(GoToCell, PageUpFromPageOneGoesToTheFirstFile) {
    BrowserState s = StateWith(20, 3);
    EXPECT_EQ(FindGoToCellTarget(s, 0, 0, true).slot, 0);
    EXPECT_EQ(FindGoToCellTarget(s, 3, 0, true).slot, 18); // first file of page 3
}

TEST(GoToPreviousCell, LeftOnTheFirstFileStaysAndSkipsHoles) {
    BrowserState s = StateWith(6, 3, L"_b__");
    EXPECT_EQ(FindPreviousCellTarget(s, 1, 2).slot, 1); // slot 1 is the first file
    EXPECT_EQ(FindPreviousCellTarget(s, 1, 5).slot, 1); // slots 2,3 are holes
}

TEST(RowMoves, DownAtTheBottomIsSilentAndPastTheEndBeeps) {
    BrowserState s = StateWith(12, 3);
    s.CursorCell = 3; // files 1..9 on page 1
    RowMoveResult r = FindRowDown(s);
    EXPECT_EQ(r.kind, RowMove::Moved);
    EXPECT_EQ(r.cell, 6);
    s.CursorCell = 8;
    EXPECT_EQ(FindRowDown(s).kind, RowMove::Silent);
    s.CurrentPage = 2;
    s.CursorCell = 3; // slot 11, last file; row below is past the end
    EXPECT_EQ(FindRowDown(s).kind, RowMove::Beep);
}

TEST(RowMoves, SkipEmptySlotsInTheSameColumn) {
    BrowserState s = StateWith(9, 3, L"abcd_");
    s.CursorCell = 8; // slot 7; slot 4 above it is empty
    RowMoveResult up = FindRowUp(s);
    EXPECT_EQ(up.kind, RowMove::Moved);
    EXPECT_EQ(up.cell, 2);
}

TEST(RowMoves, UpFromTheTopRowIsSilentAndOverOnlyHolesBeeps) {
    BrowserState s = StateWith(9, 3, L"a_ca_");
    s.CursorCell = 2;
    EXPECT_EQ(FindRowUp(s).kind, RowMove::Silent);
    s.CursorCell = 8;
    // slot 4 and slot 1 are holes: the move runs above the first row and beeps
    EXPECT_EQ(FindRowUp(s).kind, RowMove::Beep);
}
