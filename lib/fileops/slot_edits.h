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

// One change a command makes to the slot list, handed to the browser, which applies it.
struct SlotChanges {
    enum class Kind { Empty, Rename, Insert, Append, SpaceAtCursor };
    Kind kind = Kind::Empty;
    int slot = 0;
    std::wstring name;

    static SlotChanges Emptied(int slot) { return {Kind::Empty, slot, {}}; }
    static SlotChanges Renamed(int slot, std::wstring name) {
        return {Kind::Rename, slot, std::move(name)};
    }
    static SlotChanges Inserted(int slot, std::wstring name) {
        return {Kind::Insert, slot, std::move(name)};
    }
    static SlotChanges Appended(std::wstring name) { return {Kind::Append, 0, std::move(name)}; }
    static SlotChanges SpaceAtCursor() { return {Kind::SpaceAtCursor, 0, {}}; }
};
// Applies change as the functions above do; returns how many slots it inserted or added.
int ApplySlotChanges(BrowserState& s, const SlotChanges& change);

// Where the cursor goes after slots were emptied.
enum class CursorAfterRemoval { Stay, NextOnPage, FirstOfList };
CursorAfterRemoval PlanAfterRemoval(const BrowserState& s);

} // namespace tovn
