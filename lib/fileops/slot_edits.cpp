#include "fileops/slot_edits.h"
#include "core/slots.h"

namespace tovn {

namespace {
bool Inside(const BrowserState& s, int index) {
    return index >= 0 && index < static_cast<int>(s.FileList.size());
}
} // namespace

int InsertSpace(BrowserState& s) {
    int at = CursorSlot(s);
    if (at < 0 || at > static_cast<int>(s.FileList.size())) return 0;
    int n = s.CellsPerPage - s.CursorCell + 1;
    if (n <= 0) return 0;
    s.FileList.insert(s.FileList.begin() + at, static_cast<size_t>(n), Slot{});
    return n;
}

void InsertSlot(BrowserState& s, int index, const std::wstring& name) {
    if (index < 0 || index > static_cast<int>(s.FileList.size())) return;
    s.FileList.insert(s.FileList.begin() + index, Slot{name, 0});
}

void RenameSlot(BrowserState& s, int index, const std::wstring& newName) {
    if (!Inside(s, index)) return;
    s.FileList[index].name = newName;
    if (PageOf(index, s.CellsPerPage) != s.CurrentPage) return;
    int cell = CellOf(index, s.CellsPerPage);
    if (cell < static_cast<int>(s.PageCells.size())) s.PageCells[cell].name = newName;
}

void EmptySlot(BrowserState& s, int index) {
    if (!Inside(s, index)) return;
    s.FileList[index] = Slot{};
}

int ApplySlotChanges(BrowserState& s, const SlotChanges& change) {
    switch (change.kind) {
    case SlotChanges::Kind::Empty:
        EmptySlot(s, change.slot);
        return 0;
    case SlotChanges::Kind::Rename:
        RenameSlot(s, change.slot, change.name);
        return 0;
    case SlotChanges::Kind::Insert: {
        const size_t before = s.FileList.size();
        InsertSlot(s, change.slot, change.name);
        return static_cast<int>(s.FileList.size() - before);
    }
    case SlotChanges::Kind::Append:
        s.FileList.push_back({change.name, 0});
        return 1;
    case SlotChanges::Kind::SpaceAtCursor:
        return InsertSpace(s);
    }
    return 0;
}

CursorAfterRemoval PlanAfterRemoval(const BrowserState& s) {
    int at = CursorSlot(s);
    if (at >= static_cast<int>(s.FileList.size())) return CursorAfterRemoval::FirstOfList;
    if (at >= 0 && s.FileList[at].name.empty()) return CursorAfterRemoval::NextOnPage;
    return CursorAfterRemoval::Stay;
}

} // namespace tovn
