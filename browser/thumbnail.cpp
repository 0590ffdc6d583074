// The grid painter's thumbnails: what the workers made, drawn into the cells and kept for
// the pages around.
#include "app/report.h"
#include "app/wait_window.h"
#include "browser/main_window.h"
#include "browser/grid_painter.h"
#include "core/geometry.h"
#include "core/prefetch_plan.h"
#include "core/slots.h"
#include "picture/picture_host.h"
#include "picture/thumbnail_job.h"
#include <algorithm>
#include <set>

namespace tovn {

// A thumbnail needs no more of a picture than its cell shows.
void GridPainter::PrepareThumbnailLoad() {
    pictures_->SetReductionLevel(st_.ReductionLevel);
    pictures_->SetPreviewSide(std::max(st_.CellWidth, st_.CellHeight));
}

// On a palette screen: decodes here and draws the cell against the screen's palette.
void GridPainter::DrawThumbnail(int cell, const std::wstring& name, int32_t) {
    PrepareThumbnailLoad();
    const LoadedPicture loaded = pictures_->LoadPicture(name, lpThumbnail, core_.Source());
    Report(Owner(), loaded.Outcome());
    view_.RealizeDisplayPalette();
    DrawCellPicture(imgMain_.Canvas(), cell, name, loaded);
}

// Draws the cell the workers made; the rendered cell is kept for the pages around the one
// shown. What it reported is carried over by later loads as if it had been loaded here.
void GridPainter::ShowThumb(const PlannedCell& planned) {
    CellThumb& thumb = planned.ticket->thumb;
    const LoadedPicture shown = pictures_->NoteShown(std::move(thumb.report));
    Report(Owner(), shown.Outcome());
    if (!shown.ok) {
        DrawCellPicture(imgMain_.Canvas(), planned.cell, planned.name, shown);
        return;
    }
    CellPicture rendered = KeptCell(planned.cell, thumb);
    rendered.date = planned.date;
    cellPictures_.UseSource(SourceKey());
    cellPictures_.Put(planned.name, std::move(rendered));
    ShowStoredCell(planned.cell, planned.name, planned.date);
}

ThumbRequest GridPainter::RequestFor(int cell, const std::wstring& name,
                                     const EntryStamp& stamp) const {
    ThumbRequest request;
    request.name = name;
    request.source = core_.Source();
    request.column = (cell - 1) % st_.DispCount;
    request.row = (cell - 1) / st_.DispCount;
    request.cellWidth = st_.CellWidth;
    request.cellHeight = st_.CellHeight;
    const COLORREF fill = ::GetSysColor(COLOR_BTNFACE);
    request.cellFill =
        uint32_t(GetRValue(fill)) << 16 | uint32_t(GetGValue(fill)) << 8 | GetBValue(fill);
    request.keyed = stamp.Read();
    if (request.keyed) request.key = ThumbKey(request.source, name, stamp.size, stamp.written);
    return request;
}

void GridPainter::DrawCellPicture(HDC dc, int cell, const std::wstring& name,
                                  const LoadedPicture& loaded) {
    const Picture& picture = loaded.picture;
    const int n = st_.DispCount, column = (cell - 1) % n, row = (cell - 1) / n;
    const PictureInfo& info = loaded.info;
    PictureBox box = UsesScreenPlacement(UpperExtension(name), picture.Width(), picture.Height())
                         ? ScreenPlacement(picture.Width(), picture.Height(), info.left, info.top,
                                           column, row, st_.CellWidth, st_.CellHeight)
                         : FitPlacement(picture.Width(), picture.Height(), column, row,
                                        st_.CellWidth, st_.CellHeight);
    PaintCellFrame(cell, dc);
    if (picture.Empty()) return;
    UniqueMemDc source(::CreateCompatibleDC(dc));
    SelectIn bitmap(source.get(), picture.Bitmap());
    BITMAP bm = {};
    ::GetObjectW(picture.Bitmap(), sizeof bm, &bm);
    // Rows and columns are dropped or repeated, no smoothing; monochrome keeps its own mode.
    int oldMode = ::SetStretchBltMode(dc, bm.bmBitsPixel == 1 ? BLACKONWHITE : COLORONCOLOR);
    ::StretchBlt(dc, box.x + 1, box.y + 1, box.w - 2, box.h - 2, source.get(), 0, 0,
                 picture.Width(), picture.Height(), SRCCOPY);
    ::SetStretchBltMode(dc, oldMode);
}

// The cell the workers composed, kept for the pages around the one shown.
CellPicture GridPainter::KeptCell(int cell, CellThumb& thumb) {
    CellPicture rendered;
    rendered.cell = cell;
    rendered.width = st_.CellWidth;
    rendered.height = st_.CellHeight;
    if (thumb.cellWidth == st_.CellWidth && thumb.cellHeight == st_.CellHeight)
        rendered.pixels = std::move(thumb.cell);
    return rendered;
}

bool GridPainter::ShowStoredCell(int cell, const std::wstring& name, int32_t date) {
    if (st_.PaletteDisplay) return false;
    cellPictures_.UseSource(SourceKey());
    const CellPicture* stored = cellPictures_.Find(name, cell, st_.CellWidth, st_.CellHeight);
    if (!stored || !stored->Drawn() || stored->date != date) return false;
    const BITMAPINFO header = CellBitmapInfo(stored->width, stored->height);
    CellRect c = CellRectOf(cell, st_.DispCount, st_.CellWidth, st_.CellHeight);
    ::SetDIBitsToDevice(imgMain_.Canvas(), c.left, c.top, stored->width, stored->height, 0, 0, 0,
                        stored->height, stored->pixels.data(), &header, DIB_RGB_COLORS);
    return true;
}

bool GridPainter::PrefetchStep() {
    if (!fill_.empty()) {
        if (FillCells(true)) imgMain_.Refresh();
        return true;
    }
    if (st_.PaletteDisplay || st_.Closing || st_.CellWidth <= 0 || st_.CellHeight <= 0 ||
        st_.PageCells.empty() || !workers_)
        return false;
    cellPictures_.UseSource(SourceKey());
    std::set<std::wstring> kept;
    const int count = static_cast<int>(st_.FileList.size());
    for (int slot = Index(std::max(1, st_.CurrentPage - 1), 1, st_.CellsPerPage);
         slot >= 0 && slot < count && KeepsSlot(st_, slot); ++slot)
        kept.insert(st_.FileList[slot].name);
    cellPictures_.KeepOnly([&](const std::wstring& name) { return kept.count(name) > 0; });
    if (PrefetchAhead()) return true;
    if (!ahead_.empty()) {
        workers_->Wait(*ahead_.begin()->second, QS_ALLINPUT, 100);
        return true;
    }
    // Every cell around not yet drawn ahead goes to the workers at once.
    for (int slot : PrefetchOrder(st_)) {
        const std::wstring& name = st_.FileList[slot].name;
        const int cell = CellOf(slot, st_.CellsPerPage);
        if (ahead_.count(name) || cellPictures_.Find(name, cell, st_.CellWidth, st_.CellHeight))
            continue;
        const EntryStamp stamp = Stamp(name);
        ahead_[name] = workers_->Submit(RequestFor(cell, name, stamp), cell, stamp.date,
                                        cellPictures_.TakeSpare());
        if (!stamp.found) ahead_[name]->dropped = true; // noted without pixels
    }
    return !ahead_.empty();
}

// Keeps one thumbnail the workers finished for the pages around in the cell store; false
// when none is finished.
bool GridPainter::PrefetchAhead() {
    for (auto it = ahead_.begin(); it != ahead_.end(); ++it) {
        if (!it->second->Ready()) continue;
        StoreAhead(it->first, *it->second);
        ahead_.erase(it);
        ++prefetchCount_;
        return true;
    }
    return false;
}

// A picture that did not decode is noted without pixels: the paint decodes it again and
// reports it then.
void GridPainter::StoreAhead(const std::wstring& name, ThumbTicket& ticket) {
    CellThumb& thumb = ticket.thumb;
    const PictureSource& source = ticket.request.source;
    if (source.currentDir != st_.CurrentDir || source.lhaMode != st_.LhaMode ||
        (st_.LhaMode && source.archiveName != st_.ArchiveName))
        return; // asked for another folder or archive
    CellPicture rendered;
    if (!ticket.dropped && thumb.report.ok && ticket.request.cellWidth == st_.CellWidth &&
        ticket.request.cellHeight == st_.CellHeight)
        rendered = KeptCell(ticket.cell, thumb);
    rendered.cell = ticket.cell;
    rendered.width = ticket.request.cellWidth;
    rendered.height = ticket.request.cellHeight;
    rendered.date = ticket.date;
    cellPictures_.UseSource(SourceKey());
    cellPictures_.Put(name, std::move(rendered));
}

// The thumbnail asked ahead for this file in this cell, if it still fits.
ThumbTicketPtr GridPainter::TakeAhead(const std::wstring& name, int cell, int32_t date) {
    auto it = ahead_.find(name);
    if (it == ahead_.end()) return nullptr;
    ThumbTicketPtr ticket = it->second;
    if (ticket->dropped || ticket->cell != cell || ticket->date != date ||
        ticket->request.cellWidth != st_.CellWidth || ticket->request.cellHeight != st_.CellHeight)
        return nullptr;
    ahead_.erase(it);
    return ticket;
}

std::wstring GridPainter::SourceKey() const {
    return st_.CurrentDir + L"|" + (st_.LhaMode ? st_.ArchiveName : std::wstring());
}

} // namespace tovn
