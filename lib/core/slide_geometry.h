// The slide viewer's arithmetic: window sizes for natural and fitted pictures, the
// scroll-bar allowance and centring, when a MAG picture is laid over the one before it,
// the viewer's key tables, and the names BMP conversion writes.
#pragma once
#include <string>

namespace tovn {

// The screen as the viewer sizes against it.
struct SlideScreen {
    int width = 0;
    int workAreaHeight = 0; // screen height less the task bar
};

// Window size minus client size (caption and borders).
struct FrameSize {
    int width = 0;
    int height = 0;
};

struct WindowBox {
    int left = 0, top = 0, width = 0, height = 0;
};

// Where the window goes and how large the base picture's image is drawn.
struct SlideLayout {
    WindowBox window;
    int imageWidth = 0, imageHeight = 0;
    float scale = 1.0f; // screen pixels per picture pixel
};

// Centre: both divisions truncate toward zero.
WindowBox CentreWindow(WindowBox box, const SlideScreen& screen);
// Room for scroll bars, then clamped to the screen and centred.
WindowBox AdjustWindow(WindowBox box, const SlideScreen& screen);
// A w × h picture at its natural size; windows narrower than minimum (frame included) are
// widened to it.
SlideLayout NaturalLayout(int w, int h, int minimum, FrameSize frame, const SlideScreen& screen);
// A w × h picture enlarged or reduced until it meets the first client edge of a window as
// large as the work area.
SlideLayout FitLayout(int w, int h, FrameSize frame, const SlideScreen& screen);

// A rectangle in picture coordinates, in the order the viewer keeps its base.
struct PictureRect {
    int top = 0, left = 0, height = 0, width = 0;
};

// Whether a MAG picture is shown over the base: both it and the picture before it are MAG
// files (upper-case extensions given), the base is on screen, and it starts inside the base
// but not at the base's own origin and ends within it.
bool IsOverlay(const std::wstring& extension, const std::wstring& previousExtension, bool baseShown,
               const PictureRect& picture, const PictureRect& base);

struct ImageBox {
    int left = 0, top = 0, width = 0, height = 0;
};
// The overlay's image in client coordinates of the base drawn at scale.
ImageBox OverlayBox(const PictureRect& picture, const PictureRect& base, float scale);

// The bottom third of an image of the given size (mark band).
ImageBox MarkBand(int width, int height);

enum class SlideMode { Slide, Hyouzi, Other };
SlideMode SlideModeOf(const std::wstring& dialogParam);

enum class SlideAction { Next, MarkAndNext, Previous, MarkAndClose, Close };
// What a key does in the viewer (modifiers are not looked at). key: a virtual-key code.
SlideAction SlideActionFor(SlideMode mode, unsigned key);

// The file BMP conversion writes for a picture: the name before its first "." plus ".BMP".
std::wstring BmpOutputName(const std::wstring& name);

} // namespace tovn
