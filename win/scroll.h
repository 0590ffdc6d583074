// Window scroll bars: where a scroll message asks the view to go.
#pragma once
#include <windows.h>
#include <optional>

namespace tovn {

// The position of the window's scroll bar (SB_HORZ or SB_VERT) that a WM_HSCROLL or
// WM_VSCROLL request code asks for, kept within the bar's range; line is the step of the
// arrows. None for codes that do not move the view.
std::optional<int> RequestedScrollPosition(HWND window, int bar, int code, int line);

} // namespace tovn
