// Bands from the state, the status bar, the scroll bar and the rest of what the browser
// asks of the screen.
#include "app/dialogs.h"
#include "app/report.h"
#include "app/wait_window.h"
#include "win/handles.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/main_window.h"
#include "core/bands.h"
#include "core/slots.h"
#include <commctrl.h>

namespace tovn {

void MainWindow::SetBandsFromState() {
    imgMain_.SetBands(GridBands(st_, painter_.PaintedPage(), cursorShown_));
}

void MainWindow::RefreshBands() {
    SetBandsFromState();
    ::UpdateWindow(imgMain_.Handle());
}

void MainWindow::SetCursorBand(bool shown) {
    cursorShown_ = shown;
    RefreshBands();
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

void MainWindow::ShowWaitingText(const std::wstring& text) {
    ShowWaiting(text, hwnd_);
}

void MainWindow::ShowCursorInScrollBar() {
    ::SetScrollPos(sbMain_, SB_CTL, CursorSlot(st_), TRUE);
}

int MainWindow::ScrollPosition() const {
    return ::GetScrollPos(sbMain_, SB_CTL);
}

void MainWindow::RefreshCell(int cell) {
    if (cell <= 0) return imgMain_.Refresh();
    const CellRect c = CellRectOf(cell, st_.DispCount, st_.CellWidth, st_.CellHeight);
    imgMain_.Refresh(RECT{c.left, c.top, c.right, c.bottom});
}

void MainWindow::RealizeDisplayPalette() {
    if (st_.PaletteDisplay) FormPaint();
}

void MainWindow::ResetPageCells() {
    painter_.ResetPageCells();
}

void MainWindow::PaintPage() {
    painter_.PaintPage();
}

bool MainWindow::PaintCell(int cell, int slot) {
    return painter_.PaintCell(cell, slot);
}

void MainWindow::PaintEmptyCell(int cell) {
    painter_.PaintEmptyCell(cell);
}

void MainWindow::PaintEmptyCells() {
    painter_.PaintEmptyCells();
}

} // namespace tovn
