#include "capture/screen_copy.h"
#include "win/handles.h"
#include "imaging/bmp.h"

namespace tovn {

namespace {

struct Bitmap256Info {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

// The 256-entry explicit palette: entry i has the flag PC_EXPLICIT and i in its first
// byte, so it stands for entry i of the system palette. Its colours are therefore the
// system palette's, which is what the file's colour table must hold for its pixels to
// keep the screen's colours.
std::vector<bmp::Rgb> ExplicitPaletteColours(HDC screen) {
    PALETTEENTRY system[256] = {};
    ::GetSystemPaletteEntries(screen, 0, 256, system);
    std::vector<bmp::Rgb> colours(256);
    for (int i = 0; i < 256; ++i)
        colours[i] = {system[i].peRed, system[i].peGreen, system[i].peBlue};
    return colours;
}

} // namespace

std::vector<uint8_t> ClientAreaBmp(HWND window) {
    RECT client = {};
    if (!window || !::GetClientRect(window, &client)) return {};
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return {};
    POINT origin = {0, 0};
    ::ClientToScreen(window, &origin);

    WindowDc desktop(::GetDesktopWindow());
    const bool paletteScreen = ::GetDeviceCaps(desktop.get(), BITSPIXEL) <= 8;
    const int bitCount = paletteScreen ? 8 : 24;
    std::vector<bmp::Rgb> palette;
    Bitmap256Info info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = height; // bottom row first, as the file stores it
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitCount);
    if (paletteScreen) {
        palette = ExplicitPaletteColours(desktop.get());
        info.header.biClrUsed = 256;
        for (int i = 0; i < 256; ++i)
            info.colours[i] = {palette[i].b, palette[i].g, palette[i].r, 0};
    }
    void* bits = nullptr;
    UniqueBitmap dib(::CreateDIBSection(desktop.get(), reinterpret_cast<BITMAPINFO*>(&info),
                                        DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemDc memory(::CreateCompatibleDC(desktop.get()));
    if (!dib || !bits || !memory) return {};
    {
        SelectIn select(memory.get(), dib.get());
        ::BitBlt(memory.get(), 0, 0, width, height, desktop.get(), origin.x, origin.y, SRCCOPY);
    }
    ::GdiFlush();
    const size_t stride = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
    return bmp::WriteBmpFile(width, height, bitCount, palette, static_cast<const uint8_t*>(bits),
                             stride);
}

} // namespace tovn
