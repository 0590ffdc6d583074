#include "picture/convert_bmp.h"
#include "imaging/bmp.h"
#include "picture/picture_host.h"
#include "win/handles.h"
#include <cstring>

namespace tovn {

namespace {

size_t StrideOf(int width, int bitCount) {
    return (size_t(width) * size_t(bitCount) + 31) / 32 * 4;
}

// The pixel rows bottom row first, as the file stores them; other depths than 1, 4, 8
// and 24 are converted to 24 bits by the platform.
bool BottomUpRows(const Picture& picture, const DIBSECTION& ds, int bitCount,
                  std::vector<uint8_t>& rows) {
    const int width = ds.dsBm.bmWidth, height = ds.dsBm.bmHeight;
    const size_t stride = StrideOf(width, bitCount);
    rows.assign(stride * size_t(height), 0);
    if (bitCount == ds.dsBmih.biBitCount && ds.dsBm.bmBits) {
        const auto* bits = static_cast<const uint8_t*>(ds.dsBm.bmBits);
        const bool topDown = ds.dsBmih.biHeight < 0;
        for (int y = 0; y < height; ++y) {
            const int from = topDown ? height - 1 - y : y;
            std::memcpy(rows.data() + size_t(y) * stride, bits + size_t(from) * stride, stride);
        }
        return true;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = WORD(bitCount);
    info.bmiHeader.biCompression = BI_RGB;
    WindowDc screen(nullptr);
    return ::GetDIBits(screen.get(), picture.Bitmap(), 0, UINT(height), rows.data(), &info,
                       DIB_RGB_COLORS) == height;
}

std::vector<bmp::Rgb> ColourTable(const Picture& picture) {
    RGBQUAD table[256] = {};
    UINT count = 0;
    {
        UniqueMemDc dc(::CreateCompatibleDC(nullptr));
        SelectIn bitmap(dc.get(), picture.Bitmap());
        count = ::GetDIBColorTable(dc.get(), 0, 256, table);
    }
    std::vector<bmp::Rgb> palette;
    for (UINT i = 0; i < count; ++i)
        palette.push_back({table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue});
    return palette;
}

} // namespace

std::vector<uint8_t> BmpFileOf(const Picture& picture) {
    DIBSECTION ds = {};
    if (picture.Empty() || ::GetObjectW(picture.Bitmap(), sizeof ds, &ds) != int(sizeof ds) ||
        ds.dsBm.bmWidth <= 0 || ds.dsBm.bmHeight <= 0)
        return {};
    const int depth = ds.dsBmih.biBitCount;
    const int bitCount = depth == 1 || depth == 4 || depth == 8 ? depth : 24;
    std::vector<uint8_t> rows;
    if (!BottomUpRows(picture, ds, bitCount, rows)) return {};
    const std::vector<bmp::Rgb> palette =
        bitCount <= 8 ? ColourTable(picture) : std::vector<bmp::Rgb>();
    return bmp::WriteBmpFile(ds.dsBm.bmWidth, ds.dsBm.bmHeight, bitCount, palette, rows.data(),
                             StrideOf(ds.dsBm.bmWidth, bitCount));
}

} // namespace tovn
