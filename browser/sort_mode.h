// Sort mode: files picked one by one, in order, then moved in front of an anchor file. The
// picks are the marked slots and, in picking order, the state's SortList.
#pragma once

namespace tovn {

class Browser;

// Delete in normal mode: sort mode on (ordinary marks cleared), the cursor file picked.
void StartSortByKey(Browser& w);
// The menu's sort item: sort mode on without a pick, or in sort mode the order applied.
void N5Click(Browser& w);
// Delete: the cursor file picked or unpicked; the cursor moves on.
void SortPick(Browser& w);
// Home: every pick undone, or when there is none every file picked in list order.
void SortHome(Browser& w);
// Insert: the picks put in front of the cursor file; sort mode ends. False (a beep) when the
// cursor is not on an unpicked file or nothing is picked.
bool ApplySort(Browser& w);
// Esc: every pick undone; sort mode ends.
void EndSortMode(Browser& w);
// Flips the mark of slot and its band; in sort mode the slot is picked or unpicked with it.
void TogglePick(Browser& w, int slot);

} // namespace tovn
