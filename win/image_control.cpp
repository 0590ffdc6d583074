#include "win/image_control.h"

namespace tovn {

LRESULT ImageControl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd_, &ps);
        Paint(dc, ps.rcPaint);
        ::EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return ButtonDown(msg, wp, lp);
    }
    return Window::HandleMessage(msg, wp, lp);
}

int MouseButtonOf(UINT msg) {
    return msg == WM_LBUTTONDOWN ? 0 : msg == WM_RBUTTONDOWN ? 1 : 2;
}

} // namespace tovn
