// Changes the file commands make to the slot list.
#pragma once
#include "core/browser_state.h"
#include <string>

namespace tovn {

// Pushes the cursor file to the start of the next page: inserts CellsPerPage - CursorCell + 1
// empty slots at the cursor slot. Returns how many were inserted.
int InsertSpace(BrowserState& s);
// Inserts name (unmarked) at slot index, which may be the end of the list.
void InsertSlot(BrowserState& s, int index, const std::wstring& name);
// The slot at index now holds newName; a cell on the current page keeps counting as drawn,
// since the picture under it is the same.
void RenameSlot(BrowserState& s, int index, const std::wstring& newName);
// The slot at index becomes an empty (grey) slot.
void EmptySlot(BrowserState& s, int index);

// Where the cursor goes after slots were emptied.
enum class CursorAfterRemoval { Stay, NextOnPage, FirstOfList };
CursorAfterRemoval PlanAfterRemoval(const BrowserState& s);

} // namespace tovn
