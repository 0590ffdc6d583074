// Slot arithmetic and cursor movement over the slot list. Pages and cells count from 1,
// slot indexes from 0; cells run row by row.
#pragma once
#include "core/browser_state.h"
#include <string>

namespace tovn {

int Index(int page, int cell, int cellsPerPage); // -1 for any negative result
inline int CellOf(int index, int cellsPerPage) {
    return index % cellsPerPage + 1;
}
inline int PageOf(int index, int cellsPerPage) {
    return index / cellsPerPage + 1;
}

// ceil(count / cellsPerPage), at least 1.
int PageCountFor(int count, int cellsPerPage);
// The smallest k with k * k >= files (0 for no files).
int SquareFor(int files);
int NonEmptyCount(const BrowserState& s);
int CursorSlot(const BrowserState& s);

struct CellRect {
    int left, top, right, bottom;
};
CellRect CellRectOf(int cell, int n, int cellWidth, int cellHeight);

// Where a cursor move lands: a slot to stand on, or nothing left at all (the caller
// rebuilds the list and starts over at page 1, cell 1).
struct CursorTarget {
    bool found = false;
    int slot = -1;
};
CursorTarget FindGoToCellTarget(const BrowserState& s, int page, int cell, bool mayLeavePage);
CursorTarget FindPreviousCellTarget(const BrowserState& s, int page, int cell);

// Row moves: the new cursor cell, or why nothing moved.
enum class RowMove { Moved, Silent, Beep };
struct RowMoveResult {
    RowMove kind = RowMove::Silent;
    int cell = 0;
};
RowMoveResult FindRowDown(const BrowserState& s);
RowMoveResult FindRowUp(const BrowserState& s);

// Removes every empty slot; marks travel with their entries.
void CompactList(BrowserState& s);
// First slot whose name equals name without regard to case, or -1.
int FindName(const BrowserState& s, const std::wstring& name);
// Puts the cursor on slot index (page and cell), or on page 1 cell 1 for -1.
void PlaceCursorAt(BrowserState& s, int index);

// Status bar panels 0..3.
std::wstring ModeText(const BrowserState& s);
std::wstring DispText(const BrowserState& s);
std::wstring PageText(const BrowserState& s);
std::wstring PathText(const BrowserState& s);

// Extension test of the file list: the upper-cased extension (dot included) is longer than
// two characters and occurs in mask, or equals ".BMP".
std::wstring UpperExtension(const std::wstring& name);
bool AcceptsExtension(const std::wstring& name, const std::wstring& upperMask);

// The marked slots (their marks cleared) or else the cursor slot. When marks were found the
// targets are exactly the slots whose mark was cleared, for the caller to take their mark
// bands off.
TargetList CollectTargets(BrowserState& s);

} // namespace tovn

namespace tovn {
// After compaction the picks of sort mode find their slots again by name.
void ReindexSortList(BrowserState& s);
} // namespace tovn
