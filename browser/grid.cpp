// Bands from the state, cell primitives, status bar, scroll bar and cursor movement.
#include "app/dialogs.h"
#include "app/report.h"
#include "win/handles.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/main_window.h"
#include "core/bands.h"
#include "core/slots.h"
#include <commctrl.h>

namespace tovn {

namespace {

void FilledCell(HDC dc, const CellRect& c, COLORREF fill) {
    UniquePen pen(::CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    UniqueBrush brush(::CreateSolidBrush(fill));
    SelectIn p(dc, pen.get());
    SelectIn b(dc, brush.get());
    int oldRop = ::SetROP2(dc, R2_COPYPEN);
    ::Rectangle(dc, c.left, c.top, c.right, c.bottom);
    ::SetROP2(dc, oldRop);
}

} // namespace

void MainWindow::SetBandsFromState() {
    imgMain_.SetBands(GridBands(st_, paintedPage_, cursorShown_));
}

void MainWindow::RefreshBands() {
    SetBandsFromState();
    ::UpdateWindow(imgMain_.Handle());
}

void MainWindow::SetCursorBand(bool shown) {
    cursorShown_ = shown;
    RefreshBands();
}

void MainWindow::PaintCellFrame(int cell, HDC dc) {
    FilledCell(dc ? dc : imgMain_.Canvas(),
               CellRectOf(cell, st_.DispCount, st_.CellWidth, st_.CellHeight),
               ::GetSysColor(COLOR_BTNFACE));
}

void MainWindow::PaintEmptyCell(int cell) {
    FilledCell(imgMain_.Canvas(), CellRectOf(cell, st_.DispCount, st_.CellWidth, st_.CellHeight),
               RGB(128, 128, 128));
}

void MainWindow::UpdateStatusBar() {
    st_.PageCount = PageCountFor(static_cast<int>(st_.FileList.size()), st_.CellsPerPage);
    const std::wstring texts[4] = {ModeText(st_), DispText(st_), PageText(st_), PathText(st_)};
    WindowDc dc(hwnd_);
    SelectIn font(dc.get(), canvasFont_.get());
    int edges[4];
    int x = 0;
    for (int i = 0; i < 3; ++i) {
        SIZE size = {};
        ::GetTextExtentPoint32W(dc.get(), texts[i].c_str(), static_cast<int>(texts[i].size()),
                                &size);
        x += size.cx + 10;
        edges[i] = x;
    }
    edges[3] = -1;
    ::SendMessageW(stBar_, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    for (int i = 0; i < 4; ++i)
        ::SendMessageW(stBar_, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(texts[i].c_str()));
}

void MainWindow::UpdateScrollBar() {
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = st_.FileList.empty() ? 0 : static_cast<int>(st_.FileList.size()) - 1;
    si.nPage = 0; // a classic scroll bar: the large step is the page, the thumb stays square
    si.nPos = CursorSlot(st_);
    ::SetScrollInfo(sbMain_, SB_CTL, &si, TRUE);
}

void MainWindow::SettleCursor(int slot) {
    if (slot < 0) {
        RebuildFromScratch();
    } else if (PageOf(slot, st_.CellsPerPage) == st_.CurrentPage) {
        st_.CursorCell = CellOf(slot, st_.CellsPerPage);
    } else {
        PlaceCursorAt(st_, slot);
        PaintPage(); // the scroll bar and the status bar come with the page
        return;
    }
    ::SetScrollPos(sbMain_, SB_CTL, CursorSlot(st_), TRUE);
    UpdateStatusBar();
    SetBandsFromState(); // a shown cursor band follows a move made outside a command
}

void MainWindow::RebuildFromScratch() {
    st_.CurrentPage = 1;
    st_.CursorCell = 1;
    st_.FileList.clear();
    BuildFileList();
    PaintPage();
}

void MainWindow::GoToCell(int page, int cell, bool mayLeavePage) {
    CursorTarget t = FindGoToCellTarget(st_, page, cell, mayLeavePage);
    SettleCursor(t.found ? t.slot : -1);
}

void MainWindow::GoToPreviousCell(int page, int cell) {
    CursorTarget t = FindPreviousCellTarget(st_, page, cell);
    SettleCursor(t.found ? t.slot : -1);
}

namespace {
bool ApplyRowMove(MainWindow& w, BrowserState& s, RowMoveResult r) {
    if (r.kind == RowMove::Beep) CurrentDialogs().Beep();
    if (r.kind != RowMove::Moved) return false;
    s.CursorCell = r.cell;
    ::SetScrollPos(w.ScrollBar(), SB_CTL, CursorSlot(s), TRUE);
    w.UpdateStatusBar();
    return true;
}
} // namespace

bool MainWindow::MoveRowDown() {
    return ApplyRowMove(*this, st_, FindRowDown(st_));
}
bool MainWindow::MoveRowUp() {
    return ApplyRowMove(*this, st_, FindRowUp(st_));
}

void MainWindow::ApplyDispCount(int n) {
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

void MainWindow::SetDispCount(int n) {
    ApplyDispCount(n);
    st_.CellCacheValid = false;
    Redraw(rdScrollBar | rdLayout | rdCells);
}

bool MainWindow::CheckSlotFile(int index) {
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
        PaintEmptyCell(cell);
        SetBandsFromState();
        imgMain_.Refresh();
    }
    return false;
}

TargetList MainWindow::CollectTargets() {
    TargetList targets = tovn::CollectTargets(st_);
    RefreshBands();
    return targets;
}

bool MainWindow::ArchiveStillThere() {
    if (place_->StillThere()) return true;
    LeaveArchiveMode();
    return false;
}

void MainWindow::LeaveArchiveMode() {
    Report(hwnd_, Result::Error(place_->Path() + L"が見つかりません．", L"Return Normal Mode."));
    ReturnToFolderList();
    PaintPage();
}

void MainWindow::ReturnToFolderList() {
    st_.CurrentPage = 1;
    st_.CursorCell = 1;
    SetPlace(FolderAt(st_.CurrentDir));
    ResetPageCells();
    BuildFileList();
}

void MainWindow::MoveCursorToSlot(int slot) {
    if (slot < 0 || slot >= static_cast<int>(st_.FileList.size())) return;
    SettleCursor(slot);
}

void MainWindow::ToggleSlotMark(int slot) {
    if (slot < 0 || slot >= static_cast<int>(st_.FileList.size())) return;
    st_.FileList[slot].mark ^= 1;
    RefreshBands();
}

void MainWindow::PaintSlot(int slot) {
    if (slot < 0 || PageOf(slot, st_.CellsPerPage) != st_.CurrentPage) return;
    int cell = CellOf(slot, st_.CellsPerPage);
    if (!PaintCell(cell, slot)) return;
    SetBandsFromState(); // the slot may hold another file now, marked or not
    CellRect c = CellRectOf(cell, st_.DispCount, st_.CellWidth, st_.CellHeight);
    imgMain_.Refresh(RECT{c.left, c.top, c.right, c.bottom});
}

// The one place that knows in which order the parts of the screen are brought back.
void MainWindow::Redraw(unsigned parts) {
    if (parts & rdList) {
        int slot = CursorSlot(st_);
        std::wstring name = slot >= 0 && slot < static_cast<int>(st_.FileList.size())
                                ? st_.FileList[slot].name
                                : std::wstring();
        BuildFileList();
        PlaceCursorAt(st_, name.empty() ? -1 : FindName(st_, name));
    }
    if (parts & rdLayout) LayoutGrid();
    if (parts & (rdLayout | rdCache)) ResetPageCells();
    if (parts & rdCells) PaintPage();
    if (parts & rdEmptyCells) PaintEmptyCells();
    if (parts & rdScrollBar) UpdateScrollBar();
    if (parts & rdStatusBar) UpdateStatusBar();
}

} // namespace tovn
