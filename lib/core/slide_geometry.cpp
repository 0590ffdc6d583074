#include "core/slide_geometry.h"

namespace tovn {

namespace {

constexpr int kScrollBarRoom = 16;
// Virtual-key codes of the viewer's keys.
constexpr unsigned kEnter = 0x0D, kSpace = 0x20, kLeft = 0x25, kRight = 0x27, kDown = 0x28;

// Rounds to single precision also where the compiler keeps floats in wider registers (x87).
float Single(float value) {
    volatile float stored = value;
    return stored;
}

// Client sizes are the exact product of the length and the single-precision scale, truncated
// toward zero (a double holds that product exactly).
int Scaled(int length, float scale) {
    return static_cast<int>(static_cast<double>(length) * static_cast<double>(scale));
}

} // namespace

WindowBox CentreWindow(WindowBox box, const SlideScreen& screen) {
    box.left = (screen.width - box.width) / 2;
    box.top = (screen.workAreaHeight - box.height) / 2;
    return box;
}

WindowBox AdjustWindow(WindowBox box, const SlideScreen& screen) {
    if (box.height >= screen.workAreaHeight) box.width += kScrollBarRoom;
    if (box.width >= screen.width) box.height += kScrollBarRoom;
    if (box.height > screen.workAreaHeight) box.height = screen.workAreaHeight;
    if (box.width > screen.width) box.width = screen.width;
    return CentreWindow(box, screen);
}

SlideLayout NaturalLayout(int w, int h, int minimum, FrameSize frame, const SlideScreen& screen) {
    SlideLayout l;
    l.window.height = h + frame.height;
    l.window.width = w < minimum ? minimum : w + frame.width;
    l.imageWidth = w;
    l.imageHeight = h;
    l.window = AdjustWindow(l.window, screen);
    return l;
}

SlideLayout FitLayout(int w, int h, FrameSize frame, const SlideScreen& screen) {
    SlideLayout l;
    if (w < 1 || h < 1) return NaturalLayout(w, h, 0, frame, screen);
    const int clientHeight = screen.workAreaHeight - frame.height;
    const int clientWidth = screen.width - frame.width;
    const float a = Single(static_cast<float>(clientHeight) / static_cast<float>(h));
    const float b = Single(static_cast<float>(clientWidth) / static_cast<float>(w));
    l.scale = a > b ? b : a;
    l.imageHeight = Scaled(h, l.scale);
    l.imageWidth = Scaled(w, l.scale);
    l.window.height = l.imageHeight + frame.height;
    l.window.width = l.imageWidth + frame.width;
    l.window = CentreWindow(l.window, screen);
    return l;
}

bool IsOverlay(const std::wstring& extension, const std::wstring& previousExtension, bool baseShown,
               const PictureRect& p, const PictureRect& base) {
    if (extension != L".MAG" || previousExtension != L".MAG" || !baseShown) return false;
    const bool inside =
        (p.top >= base.top && p.left > base.left) || (p.top > base.top && p.left >= base.left);
    return inside && p.top + p.height <= base.top + base.height &&
           p.left + p.width - 1 <= base.left + base.width;
}

ImageBox OverlayBox(const PictureRect& p, const PictureRect& base, float scale) {
    return ImageBox{Scaled(p.left - base.left, scale), Scaled(p.top - base.top, scale),
                    Scaled(p.width, scale), Scaled(p.height, scale)};
}

ImageBox MarkBand(int width, int height) {
    const int top = (height / 3) * 2;
    return ImageBox{0, top, width, height - top};
}

SlideMode SlideModeOf(const std::wstring& dialogParam) {
    if (dialogParam == L"Slide") return SlideMode::Slide;
    if (dialogParam == L"Hyouzi") return SlideMode::Hyouzi;
    return SlideMode::Other;
}

SlideAction SlideActionFor(SlideMode mode, unsigned key) {
    const bool markKey = key == kSpace || key == kDown || key == 'M';
    switch (mode) {
    case SlideMode::Slide:
        if (key == kEnter || key == kRight || key == 'N') return SlideAction::Next;
        if (markKey) return SlideAction::MarkAndNext;
        if (key == kLeft || key == 'B') return SlideAction::Previous;
        return SlideAction::Close;
    case SlideMode::Hyouzi:
        return markKey ? SlideAction::MarkAndClose : SlideAction::Close;
    default:
        return SlideAction::Close;
    }
}

std::wstring BmpOutputName(const std::wstring& name) {
    return name.substr(0, name.find(L'.')) + L".BMP";
}

} // namespace tovn
