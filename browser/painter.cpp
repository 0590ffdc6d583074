// Painting the page: one cell per slot, a cache of what each cell shows so that a repaint
// decodes only the cells whose file changed.
#include "win/handles.h"
#include "app/wait_window.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/main_window.h"
#include "core/slots.h"

namespace tovn {

namespace {

constexpr int32_t kNoDate = -1;
constexpr DWORD kFillInterval = 30; // ms between copies of a growing page to the screen

int32_t PackedDosDate(const FILETIME& written) {
    FILETIME local;
    WORD date = 0, time = 0;
    ::FileTimeToLocalFileTime(&written, &local);
    ::FileTimeToDosDateTime(&local, &date, &time);
    return static_cast<int32_t>((static_cast<uint32_t>(date) << 16) | time);
}

} // namespace

void MainWindow::PaintPage() {
    if (st_.LhaMode && !ArchiveStillThere()) return;
    ShowWaiting(L"Now Painting Images", hwnd_);
    paintedPage_ = st_.CurrentPage;
    const int count = static_cast<int>(st_.FileList.size());
    DWORD shown = ::GetTickCount();
    for (int cell = 1; cell <= st_.CellsPerPage; ++cell) {
        int slot = Index(st_.CurrentPage, cell, st_.CellsPerPage);
        // The page grows on screen as it is decoded, the cells decoded so far copied at the
        // pace of the screen (a copy per cell costs as much as a small picture's decode);
        // cells the cache kept or that were drawn ahead appear with the page at once.
        const int decodes = decodeCount_;
        if (PaintCell(cell, slot) && decodeCount_ != decodes && slot + 1 < count) {
            CellRect c = CellRectOf(cell, st_.DispCount, st_.CellWidth, st_.CellHeight);
            imgMain_.Invalidate(RECT{c.left, c.top, c.right, c.bottom});
            if (::GetTickCount() - shown >= kFillInterval) {
                ::UpdateWindow(imgMain_.Handle());
                shown = ::GetTickCount();
            }
        }
    }
    ShowWaiting(L"", hwnd_);
    SetBandsFromState();
    imgMain_.Refresh();
    ::SetScrollPos(sbMain_, SB_CTL, CursorSlot(st_), TRUE);
    UpdateStatusBar();
}

bool MainWindow::PaintCell(int cell, int slot) {
    if (cell < 1 || cell >= static_cast<int>(st_.PageCells.size())) return false;
    if (slot < 0 || slot >= static_cast<int>(st_.FileList.size()) ||
        st_.FileList[slot].name.empty()) {
        st_.PageCells[cell] = CellCache{};
        PaintEmptyCell(cell);
        return true;
    }
    const std::wstring& name = st_.FileList[slot].name;
    bool found = false;
    const int32_t date = EntryDate(name, found);
    CellCache& cached = st_.PageCells[cell];
    if (found && st_.CellCacheValid && cached.name == name && cached.date == date) return false;
    cached = CellCache{name, date};
    st_.CellCacheValid = true;
    // A cell drawn ahead is copied; only a file changed since is decoded again.
    if (!found || !ShowStoredCell(cell, name, date)) {
        ++decodeCount_;
        DrawThumbnail(cell, name, date);
    }
    if (st_.FileList[slot].mark == 1) RefreshBands();
    return true;
}

int32_t MainWindow::EntryDate(const std::wstring& name, bool& found) {
    found = true;
    if (st_.LhaMode) {
        IndividualInfo info;
        if (!FindArchiveEntry(hwnd_, ToAnsi(ArchivePath()), ToAnsi(name), &info)) return kNoDate;
        return static_cast<int32_t>((static_cast<uint32_t>(info.wDate) << 16) | info.wTime);
    }
    // The attributes come with the directory entry: no file is opened.
    WIN32_FILE_ATTRIBUTE_DATA data;
    found = ::GetFileAttributesExW((st_.CurrentDir + name).c_str(), GetFileExInfoStandard, &data);
    return found ? PackedDosDate(data.ftLastWriteTime) : kNoDate;
}

void MainWindow::PaintEmptyCells() {
    if (st_.LhaMode && !ArchiveStillThere()) return;
    ShowWaiting(L"Now Painting Images", hwnd_);
    for (int cell = 1; cell <= st_.CellsPerPage; ++cell) {
        int slot = Index(st_.CurrentPage, cell, st_.CellsPerPage);
        if (slot >= static_cast<int>(st_.FileList.size()) || st_.FileList[slot].name.empty()) {
            st_.PageCells[cell] = CellCache{};
            PaintEmptyCell(cell);
        }
    }
    ShowWaiting(L"", hwnd_);
    SetBandsFromState();
    imgMain_.Refresh();
}

void MainWindow::RealizeDisplayPalette() {
    if (st_.PaletteDisplay) FormPaint();
}

} // namespace tovn
