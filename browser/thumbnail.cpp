// The bridge from the grid to the picture pipeline: plug-ins, thumbnails and the palette.
#include "app/wait_window.h"
#include "browser/main_window.h"
#include "core/geometry.h"
#include "core/slots.h"
#include "picture/picture_host.h"

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
    WindowDc screen(hwnd_);
    if (!pictures_->LoadPlugins(screen.get(), hwnd_)) {
        // Fewer than 256 colours: the message is shown and the program ends.
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

void MainWindow::DrawThumbnail(int cell, const std::wstring& name) {
    pictures_->SetReductionLevel(st_.ReductionLevel);
    const LoadedPicture loaded = pictures_->LoadPicture(name, lpThumbnail, Source());
    const Picture& picture = loaded.picture;
    const int n = st_.DispCount, column = (cell - 1) % n, row = (cell - 1) / n;
    const PictureInfo& info = loaded.info;
    PictureBox box = UsesScreenPlacement(UpperExtension(name), picture.Width(), picture.Height())
                         ? ScreenPlacement(picture.Width(), picture.Height(), info.left, info.top,
                                           column, row, st_.CellWidth, st_.CellHeight)
                         : FitPlacement(picture.Width(), picture.Height(), column, row,
                                        st_.CellWidth, st_.CellHeight);
    RealizeDisplayPalette();
    PaintCellFrame(cell);
    if (picture.Empty()) return;
    HDC canvas = imgMain_.Canvas();
    UniqueMemDc source(::CreateCompatibleDC(canvas));
    SelectIn bitmap(source.get(), picture.Bitmap());
    BITMAP bm = {};
    ::GetObjectW(picture.Bitmap(), sizeof bm, &bm);
    // Rows and columns are dropped or repeated, no smoothing; monochrome keeps its own mode.
    int oldMode = ::SetStretchBltMode(canvas, bm.bmBitsPixel == 1 ? BLACKONWHITE : COLORONCOLOR);
    ::StretchBlt(canvas, box.x + 1, box.y + 1, box.w - 2, box.h - 2, source.get(), 0, 0,
                 picture.Width(), picture.Height(), SRCCOPY);
    ::SetStretchBltMode(canvas, oldMode);
}

// On a 256-colour screen the grid is drawn against the placeholder's palette.
void MainWindow::FormPaint() {
    if (!st_.PaletteDisplay) return;
    imgMain_.SelectPalette(pictures_->PlaceholderBitmap().Palette());
}

} // namespace tovn
