#include "win/window.h"

namespace tovn {

ATOM Window::RegisterClass(WNDCLASSW wc) {
    wc.lpfnWndProc = Procedure;
    return ::RegisterClassW(&wc);
}

ATOM Window::RegisterClass(HINSTANCE instance, const wchar_t* name, HBRUSH background, UINT style) {
    WNDCLASSW wc{};
    wc.style = style;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClass(wc);
}

Window::~Window() {
    if (!hwnd_) return;
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
}

Window* Window::FromHandle(HWND window) {
    if (!window ||
        ::GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(Procedure))
        return nullptr;
    return reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

HWND Window::CreateHandle(DWORD exStyle, const wchar_t* className, const wchar_t* title,
                          DWORD style, int x, int y, int width, int height, HWND parent,
                          HINSTANCE instance, HMENU menu) {
    return ::CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menu,
                             instance, this);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::Procedure(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        if (self) {
            self->hwnd_ = w;
            ::SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(w, msg, wp, lp);
    if (msg != WM_NCDESTROY) return self->HandleMessage(msg, wp, lp);
    LRESULT result = self->HandleMessage(msg, wp, lp);
    ::SetWindowLongPtrW(w, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return result;
}

} // namespace tovn
