// The bridge from the grid to the picture pipeline: plug-ins, thumbnails and the palette.
#include "browser/main_window.h"

namespace tovn {

class PictureHost {};

MainWindow::MainWindow(MainWindowOptions options) : options_(std::move(options)) {
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
    WindowDc screen(hwnd_);
    st_.PaletteDisplay = ::GetDeviceCaps(screen.get(), BITSPIXEL) == 8;
    return true;
}

void MainWindow::ReleasePictures() {}

std::wstring MainWindow::PluginMask() const {
    return std::wstring();
}

void MainWindow::DrawThumbnail(int cell, const std::wstring&) {
    PaintCellFrame(cell);
}

void MainWindow::FormPaint() {}

} // namespace tovn
