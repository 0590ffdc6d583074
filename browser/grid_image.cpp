#include "browser/grid_image.h"

namespace tovn {

void GridImage::Register(HINSTANCE instance) {
    Window::RegisterClass(instance, L"TovnGridImage", nullptr, CS_DBLCLKS);
}

// The bitmap can only be deleted once the canvas no longer holds it.
GridImage::~GridImage() {
    if (dc_ && oldBitmap_) ::SelectObject(dc_.get(), oldBitmap_);
}

void GridImage::Create(HWND parent, HINSTANCE instance) {
    CreateHandle(0, L"TovnGridImage", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, parent, instance);
}

void GridImage::SetBounds(int left, int top, int width, int height) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    ::MoveWindow(hwnd_, left, top, width_, height_, FALSE);
    if (dc_ && oldBitmap_) ::SelectObject(dc_.get(), oldBitmap_);
    WindowDc screen(hwnd_);
    if (!dc_) dc_.reset(::CreateCompatibleDC(screen.get()));
    bitmap_.reset(
        ::CreateCompatibleBitmap(screen.get(), width_ ? width_ : 1, height_ ? height_ : 1));
    oldBitmap_ = ::SelectObject(dc_.get(), bitmap_.get());
    Clear();
}

void GridImage::Clear() {
    RECT r = {0, 0, width_, height_};
    ::FillRect(dc_.get(), &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}

void GridImage::Refresh() {
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    ::UpdateWindow(hwnd_);
}

void GridImage::Refresh(const RECT& area) {
    Invalidate(area);
    ::UpdateWindow(hwnd_);
}

void GridImage::Invalidate(const RECT& area) {
    ::InvalidateRect(hwnd_, &area, FALSE);
}

void GridImage::SelectPalette(HPALETTE palette) {
    if (!palette || !dc_) return;
    ::SelectPalette(dc_.get(), palette, FALSE);
    ::RealizePalette(dc_.get());
}

// Only the part asked for: a refreshed cell copies its own rectangle, not the grid.
void GridImage::Paint(HDC dc, const RECT& r) {
    if (!dc_) return;
    HPALETTE pal = static_cast<HPALETTE>(::GetCurrentObject(dc_.get(), OBJ_PAL));
    HPALETTE old = pal ? ::SelectPalette(dc, pal, FALSE) : nullptr;
    if (pal) ::RealizePalette(dc);
    ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, dc_.get(), r.left, r.top,
             SRCCOPY);
    if (old) ::SelectPalette(dc, old, FALSE);
}

// The main window owns the grid's mouse handling.
LRESULT GridImage::ButtonDown(UINT msg, WPARAM wp, LPARAM lp) {
    return ::SendMessageW(::GetParent(hwnd_), msg, wp, lp);
}

} // namespace tovn
