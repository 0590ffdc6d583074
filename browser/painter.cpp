// Painting the page: one cell per slot, a cache of what each cell shows so that a repaint
// decodes only the cells whose file changed. The decodes run on the workers; the cells are
// drawn here, in order, as their thumbnails come.
#include "win/handles.h"
#include "app/report.h"
#include "app/wait_window.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/grid_painter.h"
#include "browser/browser.h"
#include "browser/grid_image.h"
#include "browser/grid_view.h"
#include "core/geometry.h"
#include "picture/thumbnail_job.h"
#include "core/slots.h"
#include "picture/picture_host.h"

namespace tovn {

namespace {

constexpr DWORD kFillInterval = 30; // ms between copies of a growing page to the screen

bool KeyWaiting() {
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE) != 0;
}

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

GridPainter::GridPainter(GridView& view, Browser& core, PictureHost& pictures, GridImage& image)
    : view_(view), core_(core), st_(core.State()), pictures_(&pictures), imgMain_(image) {}

GridPainter::~GridPainter() = default;

HWND GridPainter::Owner() const {
    return view_.BoxOwner();
}

void GridPainter::StartWorkers(const std::wstring& programDir) {
    workers_ = std::make_unique<ThumbWorkers>(*pictures_,
                                              OpenThumbCache(programDir, st_.ThumbnailCacheMB));
}

void GridPainter::StopWorkers() {
    AbandonFill();
    ahead_.clear();
    workers_.reset(); // joined before the plug-ins go
}

void GridPainter::ResetPageCells() {
    st_.PageCells.assign(st_.CellsPerPage + 1, CellCache{});
    cellPictures_.Clear();
}

void GridPainter::PaintPage() {
    if (!core_.ArchiveStillThere()) return;
    ShowWaiting(L"Now Painting Images", Owner());
    AbandonFill();
    paintedPage_ = st_.CurrentPage;
    for (int cell = 1; cell <= st_.CellsPerPage; ++cell) {
        PlannedCell planned = PlanCell(cell, Index(st_.CurrentPage, cell, st_.CellsPerPage));
        if (planned.step != PlannedCell::Kept) fill_.push_back(std::move(planned));
    }
    // What was asked ahead for the page is taken over; the rest is dropped, so that the
    // page's own decodes come first.
    for (auto& [name, ticket] : ahead_) ticket->dropped = true;
    ahead_.clear();
    fillShown_ = ::GetTickCount();
    FillCells(false);
    ShowWaiting(L"", Owner());
    view_.SetBandsFromState();
    imgMain_.Refresh();
    view_.ShowCursorInScrollBar();
    view_.UpdateStatusBar();
}

// Draws the planned cells in order; false when a key is waiting before the last is drawn.
// Idle, one cell is drawn (or waited for) per call.
bool GridPainter::FillCells(bool idle) {
    while (!fill_.empty()) {
        const ThumbTicketPtr& ticket = fill_.front().ticket;
        if (ticket && KeyWaiting()) return false;
        if (ticket && !ticket->Ready()) {
            workers_->Wait(*ticket, idle ? QS_ALLINPUT : QS_KEY, kFillInterval);
            if (idle) return false;
            continue;
        }
        PlannedCell planned = std::move(fill_.front());
        fill_.erase(fill_.begin());
        DrawPlanned(planned, idle);
        if (idle) return fill_.empty();
    }
    return true;
}

// A paint left unfinished: its cells are no longer taken as shown.
void GridPainter::AbandonFill() {
    for (PlannedCell& planned : fill_) {
        if (planned.ticket) planned.ticket->dropped = true;
        if (planned.cell >= 1 && planned.cell < static_cast<int>(st_.PageCells.size()))
            st_.PageCells[planned.cell] = CellCache{};
    }
    fill_.clear();
}

bool GridPainter::PaintCell(int cell, int slot) {
    PlannedCell planned = PlanCell(cell, slot);
    if (planned.step == PlannedCell::Kept) return false;
    while (planned.ticket && !workers_->Wait(*planned.ticket, 0, INFINITE)) {}
    DrawPlanned(planned, false);
    return true;
}

PlannedCell GridPainter::PlanCell(int cell, int slot) {
    PlannedCell planned;
    planned.cell = cell;
    planned.slot = slot;
    if (cell < 1 || cell >= static_cast<int>(st_.PageCells.size())) return planned;
    if (slot < 0 || slot >= static_cast<int>(st_.FileList.size()) ||
        st_.FileList[slot].name.empty()) {
        st_.PageCells[cell] = CellCache{};
        planned.step = PlannedCell::Empty;
        return planned;
    }
    planned.name = st_.FileList[slot].name;
    const EntryStamp stamp = Stamp(planned.name);
    planned.date = stamp.date;
    CellCache& cached = st_.PageCells[cell];
    if (stamp.found && st_.CellCacheValid && cached.name == planned.name &&
        cached.date == stamp.date)
        return planned;
    cached = CellCache{planned.name, stamp.date};
    st_.CellCacheValid = true;
    // A cell drawn ahead is copied; only a file changed since is decoded again.
    cellPictures_.UseSource(SourceKey());
    const CellPicture* stored =
        st_.PaletteDisplay ? nullptr
                           : cellPictures_.Find(planned.name, cell, st_.CellWidth, st_.CellHeight);
    if (stamp.found && stored && stored->Drawn() && stored->date == stamp.date) {
        planned.step = PlannedCell::Stored;
        return planned;
    }
    planned.step = PlannedCell::Decode;
    if (st_.PaletteDisplay) return planned; // decoded here, against the screen's palette
    planned.ticket = TakeAhead(planned.name, cell, stamp.date);
    if (!planned.ticket)
        planned.ticket = workers_->Submit(RequestFor(cell, planned.name, stamp), cell, stamp.date,
                                          cellPictures_.TakeSpare());
    return planned;
}

void GridPainter::DrawPlanned(PlannedCell& planned, bool idle) {
    const int slot = planned.slot, cell = planned.cell;
    // Drawn after a key was handled: only while the cell still shows that file (or none).
    if (idle) {
        const bool listed = slot >= 0 && slot < static_cast<int>(st_.FileList.size());
        if (slot != Index(st_.CurrentPage, cell, st_.CellsPerPage) ||
            (listed ? st_.FileList[slot].name : std::wstring()) != planned.name)
            return;
    }
    switch (planned.step) {
    case PlannedCell::Kept:
        return;
    case PlannedCell::Empty:
        PaintEmptyCell(cell);
        break;
    case PlannedCell::Stored:
        ShowStoredCell(cell, planned.name, planned.date);
        break;
    case PlannedCell::Decode:
        if (!planned.ticket || planned.ticket->thumb.decoded) ++decodeCount_;
        if (planned.ticket)
            ShowThumb(planned);
        else
            DrawThumbnail(cell, planned.name, planned.date);
        break;
    }
    if (planned.step != PlannedCell::Empty && st_.FileList[slot].mark == 1) view_.RefreshBands();
    CellRect c = CellRectOf(cell, st_.DispCount, st_.CellWidth, st_.CellHeight);
    const RECT area{c.left, c.top, c.right, c.bottom};
    if (idle) {
        imgMain_.Refresh(area);
        return;
    }
    // The page grows on screen as it is decoded, the cells decoded so far copied at the
    // pace of the screen (a copy per cell costs as much as a small picture's decode);
    // cells the cache kept or that were drawn ahead appear with the page at once.
    if (planned.step != PlannedCell::Decode || slot + 1 >= static_cast<int>(st_.FileList.size()))
        return;
    imgMain_.Invalidate(area);
    if (::GetTickCount() - fillShown_ >= kFillInterval) {
        ::UpdateWindow(imgMain_.Handle());
        fillShown_ = ::GetTickCount();
    }
}

EntryStamp GridPainter::Stamp(const std::wstring& name) {
    return core_.CurrentPlace().Stamp(name);
}

void GridPainter::PaintEmptyCells() {
    if (!core_.ArchiveStillThere()) return;
    ShowWaiting(L"Now Painting Images", Owner());
    for (int cell = 1; cell <= st_.CellsPerPage; ++cell) {
        int slot = Index(st_.CurrentPage, cell, st_.CellsPerPage);
        if (slot >= static_cast<int>(st_.FileList.size()) || st_.FileList[slot].name.empty()) {
            st_.PageCells[cell] = CellCache{};
            PaintEmptyCell(cell);
        }
    }
    ShowWaiting(L"", Owner());
    view_.SetBandsFromState();
    imgMain_.Refresh();
}

void GridPainter::PaintCellFrame(int cell, HDC dc) {
    FilledCell(dc ? dc : imgMain_.Canvas(),
               CellRectOf(cell, st_.DispCount, st_.CellWidth, st_.CellHeight),
               ::GetSysColor(COLOR_BTNFACE));
}

void GridPainter::PaintEmptyCell(int cell) {
    FilledCell(imgMain_.Canvas(), CellRectOf(cell, st_.DispCount, st_.CellWidth, st_.CellHeight),
               RGB(128, 128, 128));
}

} // namespace tovn
