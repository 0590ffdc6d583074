// What the screen shows of a window's client area, as the bytes of a BMP file.
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>

namespace tovn {

// The client area of window copied from the desktop's device context. On a 256-colour
// screen an 8-bit BMP whose colour table is the system palette (the pixels keep the
// screen's palette indices and colours); on deeper screens a 24-bit BMP. Empty when the
// window has no client area to copy.
std::vector<uint8_t> ClientAreaBmp(HWND window);

} // namespace tovn
