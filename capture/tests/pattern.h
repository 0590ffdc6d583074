// A known picture for capture tests: four coloured quarters and a white frame, in colours
// that are exact on every screen (the system palette's fixed entries on 256 colours).
#pragma once
#include <windows.h>

namespace tovn::test {

inline COLORREF PatternColour(int x, int y, int width, int height) {
    if (x < 4 || y < 4 || x >= width - 4 || y >= height - 4) return RGB(255, 255, 255);
    bool right = x >= width / 2, bottom = y >= height / 2;
    if (!bottom) return right ? RGB(0, 255, 0) : RGB(255, 0, 0);
    return right ? RGB(255, 255, 0) : RGB(0, 0, 255);
}

inline void PaintPattern(HDC dc, int width, int height) {
    auto fill = [dc](int l, int t, int r, int b, COLORREF c) {
        HBRUSH brush = ::CreateSolidBrush(c);
        RECT rect = {l, t, r, b};
        ::FillRect(dc, &rect, brush);
        ::DeleteObject(brush);
    };
    fill(0, 0, width, height, RGB(255, 255, 255));
    fill(4, 4, width / 2, height / 2, PatternColour(4, 4, width, height));
    fill(width / 2, 4, width - 4, height / 2, PatternColour(width / 2, 4, width, height));
    fill(4, height / 2, width / 2, height - 4, PatternColour(4, height / 2, width, height));
    fill(width / 2, height / 2, width - 4, height - 4,
         PatternColour(width / 2, height / 2, width, height));
}

// A top-most window at (left, top) whose client area of width × height shows the pattern.
inline LRESULT CALLBACK PatternProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(w, &ps);
        RECT r;
        ::GetClientRect(w, &r);
        PaintPattern(dc, r.right, r.bottom);
        ::EndPaint(w, &ps);
        return 0;
    }
    if (msg == WM_DESTROY && ::GetPropW(w, L"QuitOnClose")) ::PostQuitMessage(0);
    return ::DefWindowProcW(w, msg, wp, lp);
}

inline HWND CreatePatternWindow(const wchar_t* title, int left, int top, int width, int height) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PatternProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = L"TovnCapturePattern";
    ::RegisterClassW(&wc);
    RECT r = {0, 0, width, height};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    ::AdjustWindowRectEx(&r, style, FALSE, WS_EX_TOPMOST);
    HWND w =
        ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, title, style, left, top,
                          r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    ::ShowWindow(w, SW_SHOW);
    ::UpdateWindow(w);
    return w;
}

} // namespace tovn::test
