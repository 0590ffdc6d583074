// The bridge from the grid to the picture pipeline: plug-ins, thumbnails and the palette.
#include "app/report.h"
#include "app/wait_window.h"
#include "browser/main_window.h"
#include "core/geometry.h"
#include "core/prefetch_plan.h"
#include "core/slots.h"
#include "picture/picture_host.h"
#include <algorithm>
#include <set>

namespace tovn {

MainWindow::MainWindow(MainWindowOptions options)
    : options_(std::move(options)), pictures_(std::make_unique<PictureHost>()) {
    st_.FileList.clear();
    st_.CurrentPage = 1;
    st_.CursorCell = 1;
    st_.LhaMode = false;
    st_.SortMode = false;
    st_.CellCacheValid = true;
    SetMainWindow(this);
}

MainWindow::~MainWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
    if (frmMain() == this) ClearMainWindow();
}

bool MainWindow::InitPictures() {
    pictures_->showWaiting = [this](const std::wstring& text) { ShowWaiting(text, hwnd_); };
    pictures_->SetReductionLevel(st_.ReductionLevel);
    pictures_->SetMaxPictureSide(st_.MaxPictureSide);
    WindowDc screen(hwnd_);
    const Result loaded = pictures_->LoadPlugins(screen.get());
    if (!loaded) {
        // Fewer than 256 colours: the program ends.
        Report(hwnd_, loaded);
        ::PostQuitMessage(0);
        ::DestroyWindow(hwnd_);
        return false;
    }
    st_.PaletteDisplay = pictures_->PaletteDisplay();
    st_.LhaPluginLoaded = pictures_->LhaPluginLoaded();
    return true;
}

void MainWindow::ReleasePictures() {
    pictures_->UnloadPlugins();
}

std::wstring MainWindow::PluginMask() const {
    return pictures_->PluginMask();
}

PictureSource MainWindow::Source() const {
    return {st_.CurrentDir, st_.LhaMode, st_.ArchiveName};
}

// A thumbnail needs no more of a picture than its cell shows.
void MainWindow::PrepareThumbnailLoad() {
    pictures_->SetReductionLevel(st_.ReductionLevel);
    pictures_->SetPreviewSide(std::max(st_.CellWidth, st_.CellHeight));
}

// Decodes and draws the cell; outside a palette screen the rendered cell is kept for the
// pages around the one shown.
void MainWindow::DrawThumbnail(int cell, const std::wstring& name, int32_t date) {
    PrepareThumbnailLoad();
    const LoadedPicture loaded = pictures_->LoadPicture(name, lpThumbnail, Source());
    Report(hwnd_, loaded.Outcome());
    RealizeDisplayPalette();
    if (st_.PaletteDisplay || !loaded.ok) {
        DrawCellPicture(imgMain_.Canvas(), cell, name, loaded);
        return;
    }
    CellPicture rendered = RenderCell(cell, name, loaded);
    rendered.date = date;
    cellPictures_.UseSource(SourceKey());
    cellPictures_.Put(name, std::move(rendered));
    ShowStoredCell(cell, name, date);
}

void MainWindow::DrawCellPicture(HDC dc, int cell, const std::wstring& name,
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

// The cell drawn exactly as on the canvas, into a bitmap of the cell's size.
CellPicture MainWindow::RenderCell(int cell, const std::wstring& name,
                                   const LoadedPicture& loaded) {
    HDC canvas = imgMain_.Canvas();
    CellPicture rendered;
    rendered.cell = cell;
    rendered.width = st_.CellWidth;
    rendered.height = st_.CellHeight;
    // A DIB section is copied out by its bits: selecting a bitmap into a DC for each cell
    // of a page would cost several times the copies.
    const BITMAPINFO header = CellBitmapInfo(st_.CellWidth, st_.CellHeight);
    void* bits = nullptr;
    rendered.bitmap.reset(::CreateDIBSection(canvas, &header, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!rendered.bitmap) return rendered;
    rendered.bits = bits;
    HDC dc = cellPictures_.Dc(canvas);
    SelectIn selected(dc, rendered.bitmap.get());
    CellRect c = CellRectOf(cell, st_.DispCount, st_.CellWidth, st_.CellHeight);
    ::SetViewportOrgEx(dc, -c.left, -c.top, nullptr);
    DrawCellPicture(dc, cell, name, loaded);
    ::SetViewportOrgEx(dc, 0, 0, nullptr);
    ::GdiFlush();
    return rendered;
}

bool MainWindow::ShowStoredCell(int cell, const std::wstring& name, int32_t date) {
    if (st_.PaletteDisplay) return false;
    cellPictures_.UseSource(SourceKey());
    const CellPicture* stored = cellPictures_.Find(name, cell, st_.CellWidth, st_.CellHeight);
    if (!stored || !stored->bitmap || stored->date != date) return false;
    const BITMAPINFO header = CellBitmapInfo(stored->width, stored->height);
    CellRect c = CellRectOf(cell, st_.DispCount, st_.CellWidth, st_.CellHeight);
    ::SetDIBitsToDevice(imgMain_.Canvas(), c.left, c.top, stored->width, stored->height, 0, 0, 0,
                        stored->height, stored->bits, &header, DIB_RGB_COLORS);
    return true;
}

bool MainWindow::PrefetchStep() {
    if (st_.PaletteDisplay || st_.Closing || st_.CellWidth <= 0 || st_.CellHeight <= 0 ||
        st_.PageCells.empty())
        return false;
    cellPictures_.UseSource(SourceKey());
    std::set<std::wstring> kept;
    const int count = static_cast<int>(st_.FileList.size());
    for (int slot = Index(std::max(1, st_.CurrentPage - 1), 1, st_.CellsPerPage);
         slot >= 0 && slot < count && KeepsSlot(st_, slot); ++slot)
        kept.insert(st_.FileList[slot].name);
    cellPictures_.KeepOnly([&](const std::wstring& name) { return kept.count(name) > 0; });
    for (int slot : PrefetchOrder(st_)) {
        const std::wstring& name = st_.FileList[slot].name;
        const int cell = CellOf(slot, st_.CellsPerPage);
        if (cellPictures_.Find(name, cell, st_.CellWidth, st_.CellHeight)) continue;
        bool found = false;
        const int32_t date = EntryDate(name, found);
        CellPicture rendered;
        if (found) {
            PrepareThumbnailLoad();
            const LoadedPicture loaded = pictures_->TryLoadPicture(name, lpThumbnail, Source());
            // A picture that does not decode is noted without a bitmap: the paint decodes it
            // again and reports it then.
            if (loaded.ok) rendered = RenderCell(cell, name, loaded);
        }
        rendered.cell = cell;
        rendered.width = st_.CellWidth;
        rendered.height = st_.CellHeight;
        rendered.date = date;
        cellPictures_.Put(name, std::move(rendered));
        ++prefetchCount_;
        return true;
    }
    return false;
}

std::wstring MainWindow::SourceKey() const {
    return st_.CurrentDir + L"|" + (st_.LhaMode ? st_.ArchiveName : std::wstring());
}

// On a 256-colour screen the grid is drawn against the placeholder's palette.
void MainWindow::FormPaint() {
    if (!st_.PaletteDisplay) return;
    imgMain_.SelectPalette(pictures_->PlaceholderBitmap().Palette());
}

} // namespace tovn
