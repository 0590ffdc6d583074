// imgSlide1 / imgSlide2: an image control that stretches the picture it holds to its own
// size, with the picture's palette on a 256-colour display.
#pragma once
#include "win/image_control.h"
#include "picture/picture_host.h"
#include <windows.h>
#include <functional>

namespace tovn {

class SlideImage final : public ImageControl {
public:
    static void Register(HINSTANCE instance);
    void Create(HWND parent, HINSTANCE instance);

    void SetBounds(int left, int top, int width, int height);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Moves the control without changing its place in client coordinates (scrolling).
    void ScrollTo(int originX, int originY);

    void Show();
    void Hide();
    bool Visible() const { return visible_; }

    // Takes the picture (the previous one is freed); an empty picture clears the control.
    void SetPicture(Picture picture);
    const Picture& Held() const { return picture_; }
    // XORs the red mark band onto the bottom third of the held picture: twice removes it.
    void ToggleMarkBand();

    // A mouse button pressed on the control: 0 left, 1 right, 2 middle.
    std::function<void(int)> mouseDown;

private:
    void Paint(HDC dc, const RECT& area) override;
    LRESULT ButtonDown(UINT msg, WPARAM wp, LPARAM lp) override;
    void Place();
    Picture picture_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    int originX_ = 0, originY_ = 0;
    bool visible_ = false;
};

} // namespace tovn
