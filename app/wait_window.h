// The progress window: a small black borderless window that names the long command
// running on the one user-interface thread.
#pragma once
#include <windows.h>
#include <string>

namespace tovn {

class WaitWindow {
public:
    static void Create(HINSTANCE instance);
    static void Destroy();
    static HWND Handle();
    static std::wstring Text();
};

// Text not empty: show the window with the text, painted at once. Empty: hide it and give
// the focus back to returnWindow.
void ShowWaiting(const std::wstring& text, HWND returnWindow);

} // namespace tovn
