// The base of the image controls (the grid image, the slide images): child windows painted
// wholly from what they hold, so the background is never erased first (no flicker), whose
// mouse buttons are handled by their owner.
#pragma once
#include "win/window.h"
#include <windows.h>

namespace tovn {

class ImageControl : public Window {
protected:
    ImageControl() = default;
    // Paints area (client coordinates) into dc.
    virtual void Paint(HDC dc, const RECT& area) = 0;
    // A button went down on the control: WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, or
    // WM_LBUTTONDBLCLK for a class registered with CS_DBLCLKS.
    virtual LRESULT ButtonDown(UINT msg, WPARAM wp, LPARAM lp) = 0;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// The button of a button-down message: 0 left, 1 right, 2 middle.
int MouseButtonOf(UINT msg);

} // namespace tovn
