#include "browser/grid_image.h"
#include <algorithm>
#include <tuple>

namespace tovn {

void XorBand(HDC dc, const CellRect& r, uint32_t rgb) {
    const COLORREF colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    UniquePen pen(::CreatePen(PS_SOLID, 1, colour));
    UniqueBrush brush(::CreateSolidBrush(colour));
    SelectIn p(dc, pen.get());
    SelectIn b(dc, brush.get());
    int oldRop = ::SetROP2(dc, R2_XORPEN);
    ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
    ::SetROP2(dc, oldRop);
}

namespace {

RECT RectOf(const CellRect& c) {
    return RECT{c.left, c.top, c.right, c.bottom};
}

bool BandBefore(const Band& a, const Band& b) {
    return std::tie(a.rect.top, a.rect.left, a.rect.bottom, a.rect.right, a.rgb) <
           std::tie(b.rect.top, b.rect.left, b.rect.bottom, b.rect.right, b.rgb);
}

} // namespace

// The bitmap can only be deleted once the DC no longer holds it.
GridImage::Surface::~Surface() {
    if (dc_ && oldBitmap_) ::SelectObject(dc_.get(), oldBitmap_);
}

void GridImage::Surface::Reset(HDC screen, int width, int height) {
    if (bitmap_ && width <= width_ && height <= height_) return;
    if (dc_ && oldBitmap_) ::SelectObject(dc_.get(), oldBitmap_);
    if (!dc_) dc_.reset(::CreateCompatibleDC(screen));
    width_ = std::max({width, ::GetSystemMetrics(SM_CXSCREEN), 1});
    height_ = std::max({height, ::GetSystemMetrics(SM_CYSCREEN), 1});
    bitmap_.reset(::CreateCompatibleBitmap(screen, width_, height_));
    if (!bitmap_) width_ = height_ = 0;
    oldBitmap_ = ::SelectObject(dc_.get(), bitmap_.get());
}

void GridImage::Register(HINSTANCE instance) {
    Window::RegisterClass(instance, L"TovnGridImage", nullptr, CS_DBLCLKS);
}

void GridImage::Create(HWND parent, HINSTANCE instance) {
    CreateHandle(0, L"TovnGridImage", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, parent, instance);
}

void GridImage::SetBounds(int left, int top, int width, int height) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    ::MoveWindow(hwnd_, left, top, width_, height_, FALSE);
    WindowDc screen(hwnd_);
    canvas_.Reset(screen.get(), width_, height_);
    back_.Reset(screen.get(), width_, height_);
    Clear();
}

void GridImage::Clear() {
    RECT r = {0, 0, width_, height_};
    ::FillRect(canvas_.Dc(), &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
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
    if (!palette || !canvas_.Dc()) return;
    ::SelectPalette(canvas_.Dc(), palette, FALSE);
    ::RealizePalette(canvas_.Dc());
}

void GridImage::SetBands(std::vector<Band> bands) {
    std::sort(bands.begin(), bands.end(), BandBefore);
    std::vector<Band> changed;
    std::set_symmetric_difference(bands_.begin(), bands_.end(), bands.begin(), bands.end(),
                                  std::back_inserter(changed), BandBefore);
    for (const Band& b : changed) Invalidate(RectOf(b.rect));
    bands_ = std::move(bands);
}

// The back surface takes the canvas's palette, so a copied palette index stays that index
// and the XOR works on the same indices as it would on the canvas itself.
void GridImage::Compose(const RECT& r) const {
    HDC back = back_.Dc();
    HPALETTE pal = static_cast<HPALETTE>(::GetCurrentObject(canvas_.Dc(), OBJ_PAL));
    if (pal) {
        ::SelectPalette(back, pal, FALSE);
        ::RealizePalette(back);
    }
    ::BitBlt(back, r.left, r.top, r.right - r.left, r.bottom - r.top, canvas_.Dc(), r.left, r.top,
             SRCCOPY);
    for (const Band& b : bands_) {
        RECT area = RectOf(b.rect), common;
        if (::IntersectRect(&common, &area, &r)) XorBand(back, b.rect, b.rgb);
    }
}

COLORREF GridImage::Composite(int x, int y) const {
    if (!canvas_.Dc()) return CLR_INVALID;
    Compose(RECT{x, y, x + 1, y + 1});
    ::GdiFlush();
    return ::GetPixel(back_.Dc(), x, y);
}

// Only the part asked for: a refreshed cell copies its own rectangle, not the grid.
void GridImage::Paint(HDC dc, const RECT& r) {
    if (!canvas_.Dc()) return;
    Compose(r);
    HPALETTE pal = static_cast<HPALETTE>(::GetCurrentObject(canvas_.Dc(), OBJ_PAL));
    HPALETTE old = pal ? ::SelectPalette(dc, pal, FALSE) : nullptr;
    if (pal) ::RealizePalette(dc);
    ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, back_.Dc(), r.left, r.top,
             SRCCOPY);
    if (old) ::SelectPalette(dc, old, FALSE);
}

// The main window owns the grid's mouse handling.
LRESULT GridImage::ButtonDown(UINT msg, WPARAM wp, LPARAM lp) {
    return ::SendMessageW(::GetParent(hwnd_), msg, wp, lp);
}

} // namespace tovn
