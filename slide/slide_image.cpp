#include "slide/slide_image.h"
#include "win/handles.h"
#include "core/slide_geometry.h"

namespace tovn {

namespace {
const wchar_t kClassName[] = L"TSlideImage";
}

void SlideImage::Register(HINSTANCE instance) {
    Window::RegisterClass(instance, kClassName, nullptr);
}

void SlideImage::Create(HWND parent, HINSTANCE instance) {
    CreateHandle(0, kClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent, instance);
}

void SlideImage::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Place();
}

void SlideImage::ScrollTo(int originX, int originY) {
    originX_ = originX;
    originY_ = originY;
    Place();
}

void SlideImage::Place() {
    ::SetWindowPos(hwnd_, nullptr, left_ - originX_, top_ - originY_, width_, height_,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void SlideImage::Show() {
    visible_ = true;
    ::ShowWindow(hwnd_, SW_SHOWNA);
}

void SlideImage::Hide() {
    visible_ = false;
    ::ShowWindow(hwnd_, SW_HIDE);
}

void SlideImage::SetPicture(Picture picture) {
    picture_ = std::move(picture);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void SlideImage::ToggleMarkBand() {
    if (picture_.Empty()) return;
    ImageBox band = MarkBand(picture_.Width(), picture_.Height());
    {
        UniqueMemDc dc(::CreateCompatibleDC(nullptr));
        SelectIn bitmap(dc.get(), picture_.Bitmap());
        UniquePen pen(::CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
        UniqueBrush brush(::CreateSolidBrush(RGB(255, 0, 0)));
        SelectIn p(dc.get(), pen.get());
        SelectIn b(dc.get(), brush.get());
        ::SetROP2(dc.get(), R2_XORPEN);
        ::Rectangle(dc.get(), band.left, band.top, band.left + band.width, band.top + band.height);
    }
    ::GdiFlush();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

// The whole picture stretched to the control, whatever part is asked for.
void SlideImage::Paint(HDC dc, const RECT&) {
    if (picture_.Empty()) return;
    HPALETTE oldPalette = nullptr;
    if (picture_.Palette()) {
        oldPalette = ::SelectPalette(dc, picture_.Palette(), FALSE);
        ::RealizePalette(dc);
    }
    UniqueMemDc source(::CreateCompatibleDC(dc));
    SelectIn bitmap(source.get(), picture_.Bitmap());
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchBlt(dc, 0, 0, width_, height_, source.get(), 0, 0, picture_.Width(), picture_.Height(),
                 SRCCOPY);
    if (oldPalette) ::SelectPalette(dc, oldPalette, TRUE);
}

LRESULT SlideImage::ButtonDown(UINT msg, WPARAM, LPARAM) {
    if (mouseDown) mouseDown(MouseButtonOf(msg));
    return 0;
}

} // namespace tovn
