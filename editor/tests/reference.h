// What the editor's Write must produce, drawn independently of the editor: the fill, the
// mesh chequer pixel by pixel, and the text lines through the drawing calls the text layers
// are defined by, with the readable character spacing (its own test checks that the text
// runs left to right). Used by the in-process tests and by the end-to-end check.
#pragma once
#include "edit/edit_logic.h"
#include "editor/text_spacing.h"
#include <windows.h>
#include <string>
#include <vector>

namespace tovn::test {

inline void DrawReferenceOverlay(HBITMAP bitmap, HPALETTE palette, const EditSettings& s,
                                 const std::vector<std::wstring>& lines) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    HPALETTE oldPalette = palette ? ::SelectPalette(dc, palette, FALSE) : nullptr;
    if (palette) ::RealizePalette(dc);
    if (!s.bNuri) {
        HBRUSH fill = ::CreateSolidBrush(static_cast<COLORREF>(s.Nuri));
        RECT r{s.StartX, s.StartY, s.EndX, s.EndY};
        ::FillRect(dc, &r, fill);
        ::DeleteObject(fill);
    }
    if (!s.bAmi)
        for (int y = s.StartY; y < s.EndY; ++y)
            for (int x = s.StartX; x < s.EndX; ++x)
                if (((x - s.StartX) + (y - s.StartY)) % 2 == 0)
                    ::SetPixelV(dc, x, y, static_cast<COLORREF>(s.Ami));
    HFONT font = ::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                               FIXED_PITCH | FF_DONTCARE, L"FixedSys");
    HGDIOBJ oldFont = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextCharacterExtra(dc, ReadableCharacterExtra(dc, lines, -10));
    auto write = [&](int32_t colour, std::vector<POINT> offsets) {
        ::SetTextColor(dc, static_cast<COLORREF>(colour));
        for (size_t i = 0; i < lines.size(); ++i)
            for (POINT o : offsets)
                ::TextOutW(dc, s.StartX + o.x,
                           s.StartY + static_cast<int>(i) * (s.Gyoukan + 12) + o.y,
                           lines[i].c_str(), static_cast<int>(lines[i].size()));
    };
    if (!s.bKage) write(s.Kage, {{4, 3}, {3, 4}, {4, 4}, {5, 4}});
    if (!s.bMozi) write(s.Mozi, {{2, 3}, {3, 3}});
    ::SelectObject(dc, oldFont);
    ::DeleteObject(font);
    if (oldPalette) ::SelectPalette(dc, oldPalette, FALSE);
    ::SelectObject(dc, oldBitmap);
    ::DeleteDC(dc);
    ::GdiFlush();
}

// Every pixel of a bitmap as 0x00RRGGBB, top row first.
inline std::vector<uint32_t> PixelsOf(HBITMAP bitmap, int width, int height) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h, h.biWidth = width, h.biHeight = -height, h.biPlanes = 1, h.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS);
    ::DeleteDC(dc);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

} // namespace tovn::test
