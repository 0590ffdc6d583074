// Reordering by hand: the picked files are put, in picking order, in front of the anchor.
#pragma once
#include "core/browser_state.h"

namespace tovn {

// Moves the picks of s.SortList in front of the slot `anchor`, clears their marks, removes
// every empty slot, and returns the anchor's new index (-1 when the anchor is not a file).
// Picks whose slot no longer holds them are looked up by name.
int ApplySortPicks(BrowserState& s, int anchor);

} // namespace tovn
