// The browser's place, cursor and list: where each command's change of the state goes, and
// which parts of the screen it asks the view to bring back, in one fixed order.
#include "browser/browser.h"
#include "app/dialogs.h"
#include "app/report.h"
#include "archive/unlha.h"
#include "core/command_line.h"
#include "core/slots.h"
#include "fileops/slot_edits.h"
#include "picture/picture_host.h"

namespace tovn {

Browser::Browser(GridView& view, PictureHost& pictures, const MainWindowOptions& options)
    : view_(view), pictures_(pictures), options_(options),
      place_(std::make_unique<FolderPlace>(std::wstring())) {}

Browser::~Browser() = default;

void Browser::ApplyCommandLine() {
    StartTarget start = ParseCommandLine(options_.args, FileExists);
    if (start.folder.empty() || !FolderExists(start.folder)) return;
    SetPlace(FolderAt(start.folder));
    if (start.file.empty() || UpperExtension(start.file) != L".LZH") return;
    if (ArchiveLibrariesReady() && IsUsableArchive(start.folder + start.file))
        SetPlace(ArchiveAt(start.folder, start.file));
}

void Browser::SetPlace(std::unique_ptr<Place> place) {
    place_ = std::move(place);
    st_.LhaMode = place_->IsArchive();
    st_.CurrentDir = place_->Folder();
    if (st_.LhaMode) st_.ArchiveName = place_->Path().substr(st_.CurrentDir.size());
}

std::unique_ptr<Place> Browser::FolderAt(const std::wstring& folder) const {
    if (folderPlace) return folderPlace(folder);
    return std::make_unique<FolderPlace>(folder, Owner());
}

std::unique_ptr<Place> Browser::ArchiveAt(const std::wstring& folder,
                                          const std::wstring& name) const {
    return std::make_unique<ArchivePlace>(Owner(), folder + name, st_.TempDir);
}

std::wstring Browser::PluginMask() const {
    return pictures_.PluginMask();
}

PictureSource Browser::Source() const {
    return {st_.CurrentDir, st_.LhaMode, st_.ArchiveName};
}

void Browser::SettleCursor(int slot) {
    if (slot < 0) {
        RebuildFromScratch();
    } else if (PageOf(slot, st_.CellsPerPage) == st_.CurrentPage) {
        st_.CursorCell = CellOf(slot, st_.CellsPerPage);
    } else {
        PlaceCursorAt(st_, slot);
        view_.PaintPage(); // the scroll bar and the status bar come with the page
        return;
    }
    view_.ShowCursorInScrollBar();
    view_.UpdateStatusBar();
    view_.SetBandsFromState(); // a shown cursor band follows a move made outside a command
}

void Browser::RebuildFromScratch() {
    st_.CurrentPage = 1;
    st_.CursorCell = 1;
    st_.FileList.clear();
    BuildFileList();
    view_.PaintPage();
}

void Browser::GoToCell(int page, int cell, bool mayLeavePage) {
    CursorTarget t = FindGoToCellTarget(st_, page, cell, mayLeavePage);
    SettleCursor(t.found ? t.slot : -1);
}

void Browser::GoToPreviousCell(int page, int cell) {
    CursorTarget t = FindPreviousCellTarget(st_, page, cell);
    SettleCursor(t.found ? t.slot : -1);
}

namespace {
bool ApplyRowMove(GridView& view, BrowserState& s, RowMoveResult r) {
    if (r.kind == RowMove::Beep) CurrentDialogs().Beep();
    if (r.kind != RowMove::Moved) return false;
    s.CursorCell = r.cell;
    view.ShowCursorInScrollBar();
    view.UpdateStatusBar();
    return true;
}
} // namespace

bool Browser::MoveRowDown() {
    return ApplyRowMove(view_, st_, FindRowDown(st_));
}

bool Browser::MoveRowUp() {
    return ApplyRowMove(view_, st_, FindRowUp(st_));
}

void Browser::ApplyDispCount(int n) {
    if (st_.FileList.empty()) {
        st_.SetDispCountValue(n);
        st_.CurrentPage = 1;
        st_.CursorCell = 1;
        return;
    }
    int slot = CursorSlot(st_);
    std::wstring name = slot >= 0 && slot < static_cast<int>(st_.FileList.size())
                            ? st_.FileList[slot].name
                            : std::wstring();
    st_.SetDispCountValue(n);
    CompactList(st_);
    if (st_.SortList) ReindexSortList(st_);
    PlaceCursorAt(st_, name.empty() ? -1 : FindName(st_, name));
}

void Browser::SetDispCount(int n) {
    ApplyDispCount(n);
    st_.CellCacheValid = false;
    Redraw(rdScrollBar | rdLayout | rdCells);
}

bool Browser::CheckSlotFile(int index) {
    if (index > static_cast<int>(st_.FileList.size()) - 1 || index < 0) {
        CurrentDialogs().Beep();
        return false;
    }
    const std::wstring& name = st_.FileList[index].name;
    if (!name.empty() && place_->Has(name)) return true;
    st_.FileList[index].mark = 0;
    st_.FileList[index].name.clear();
    if (PageOf(index, st_.CellsPerPage) == st_.CurrentPage) {
        int cell = CellOf(index, st_.CellsPerPage);
        if (cell == st_.CursorCell) GoToCell(st_.CurrentPage, cell, false);
        st_.PageCells[cell] = CellCache{};
        view_.PaintEmptyCell(cell);
        view_.SetBandsFromState();
        view_.RefreshCell(0);
    }
    return false;
}

TargetList Browser::CollectTargets() {
    TargetList targets = tovn::CollectTargets(st_);
    view_.RefreshBands();
    return targets;
}

bool Browser::ArchiveStillThere() {
    if (place_->StillThere()) return true;
    LeaveArchiveMode();
    return false;
}

void Browser::LeaveArchiveMode() {
    Report(Owner(), Result::Error(place_->Path() + L"が見つかりません．", L"Return Normal Mode."));
    ReturnToFolderList();
    view_.PaintPage();
}

void Browser::ReturnToFolderList() {
    st_.CurrentPage = 1;
    st_.CursorCell = 1;
    SetPlace(FolderAt(st_.CurrentDir));
    view_.ResetPageCells();
    BuildFileList();
}

void Browser::MoveCursorToSlot(int slot) {
    if (slot < 0 || slot >= static_cast<int>(st_.FileList.size())) return;
    SettleCursor(slot);
}

void Browser::PlaceCursor(int slot) {
    st_.CurrentPage = PageOf(slot, st_.CellsPerPage);
    st_.CursorCell = CellOf(slot, st_.CellsPerPage);
}

int Browser::ApplySlots(const SlotChanges& change) {
    return ApplySlotChanges(st_, change);
}

void Browser::SetMark(int slot, bool marked) {
    if (slot < 0 || slot >= static_cast<int>(st_.FileList.size())) return;
    st_.FileList[slot].mark = marked ? 1 : 0;
    view_.RefreshBands();
}

void Browser::PaintSlot(int slot) {
    if (slot < 0 || PageOf(slot, st_.CellsPerPage) != st_.CurrentPage) return;
    int cell = CellOf(slot, st_.CellsPerPage);
    if (!view_.PaintCell(cell, slot)) return;
    view_.SetBandsFromState(); // the slot may hold another file now, marked or not
    view_.RefreshCell(cell);
}

// The one place that knows in which order the parts of the screen are brought back.
void Browser::Redraw(unsigned parts) {
    if (parts & rdList) {
        int slot = CursorSlot(st_);
        std::wstring name = slot >= 0 && slot < static_cast<int>(st_.FileList.size())
                                ? st_.FileList[slot].name
                                : std::wstring();
        BuildFileList();
        PlaceCursorAt(st_, name.empty() ? -1 : FindName(st_, name));
    }
    if (parts & rdLayout) view_.LayoutGrid();
    if (parts & (rdLayout | rdCache)) view_.ResetPageCells();
    if (parts & rdCells) view_.PaintPage();
    if (parts & rdEmptyCells) view_.PaintEmptyCells();
    if (parts & rdScrollBar) view_.UpdateScrollBar();
    if (parts & rdStatusBar) view_.UpdateStatusBar();
}

} // namespace tovn
