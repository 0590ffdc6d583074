// The base of the program's windows: one window procedure for every class, which attaches
// the object at WM_NCCREATE (from CreateWindowEx's last parameter), so that WM_CREATE and the
// first WM_SIZE already reach it, and detaches it at WM_NCDESTROY.
#pragma once
#include <windows.h>

namespace tovn {

class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    HWND Handle() const { return hwnd_; }
    // The object of one of the program's windows; null for any other window.
    static Window* FromHandle(HWND window);

    // Registers a class whose windows are Window objects (wc.lpfnWndProc is set here).
    static ATOM RegisterClass(WNDCLASSW wc);
    // The usual such class: the arrow cursor, the given background (null where the window
    // paints all of itself) and class style.
    static ATOM RegisterClass(HINSTANCE instance, const wchar_t* name, HBRUSH background,
                              UINT style = 0);

protected:
    Window() = default;
    // A window still open when its object goes is destroyed without reaching the object.
    virtual ~Window();
    HWND CreateHandle(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                      int x, int y, int width, int height, HWND parent, HINSTANCE instance,
                      HMENU menu = nullptr);
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK Procedure(HWND w, UINT msg, WPARAM wp, LPARAM lp);
};

} // namespace tovn
