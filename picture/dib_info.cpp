#include "picture/dib_info.h"
#include <cstring>
#include "imaging/bytes.h"

namespace tovn::dib {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr size_t kMaskBytes = 12;
// Offsets inside BITMAPINFOHEADER.
constexpr size_t kSizeField = 0;
constexpr size_t kSizeImageField = 20;
constexpr size_t kClrUsedField = 32;
constexpr size_t kClrImportantField = 36;

bool Inside(size_t offset, size_t length, size_t size) {
    return offset <= size && length <= size - offset;
}

} // namespace

int32_t ColorCountFor(int bitCount) {
    if (bitCount <= 0) return kNoPalette;
    if (bitCount >= 24) return int32_t(1) << 24;
    return int32_t(1) << bitCount;
}

int32_t PaletteEntriesFor(int32_t colorCount) {
    if (colorCount <= 2) return 2;
    if (colorCount <= 16) return 16;
    if (colorCount <= 256) return 256;
    return kNoPalette;
}

std::optional<Header> RebuildHeader(const uint8_t* data, size_t size,
                                    const bmp::DibLayout& layout) {
    if (layout.compression != kBiRgb && layout.compression != kBiBitfields) return std::nullopt;
    if (!Inside(layout.infoOffset, layout.infoSize, size) || layout.infoSize < kInfoHeaderSize)
        return std::nullopt;
    const uint8_t* info = data + layout.infoOffset;
    if (bytes::Le32(info + kSizeField) < kInfoHeaderSize) return std::nullopt;

    Header h;
    h.layout = layout;
    h.colorCount = ColorCountFor(layout.bitCount);
    h.paletteEntries = PaletteEntriesFor(h.colorCount);
    const size_t tableBytes = size_t(4) * layout.colorCount;
    const bool indexed = layout.bitCount <= 8;
    const bool masks = layout.compression == kBiBitfields;
    if (indexed && layout.colorCount > uint32_t(h.paletteEntries)) return std::nullopt;
    if (masks && layout.infoSize < kInfoHeaderSize + kMaskBytes) return std::nullopt;
    if (tableBytes > layout.infoSize) return std::nullopt;

    h.block.assign(kInfoHeaderSize + size_t(4) * h.paletteEntries, 0);
    std::memcpy(h.block.data(), info, kInfoHeaderSize);
    bytes::PutLe32(&h.block[kSizeField], uint32_t(kInfoHeaderSize));
    bytes::PutLe32(&h.block[kSizeImageField], uint32_t(layout.bitsSize));
    bytes::PutLe32(&h.block[kClrUsedField], indexed ? layout.colorCount : 0);
    bytes::PutLe32(&h.block[kClrImportantField], 0);
    if (masks) {
        // After a 40-byte header or inside a longer one: the same place either way.
        std::memcpy(&h.block[kInfoHeaderSize], info + kInfoHeaderSize, kMaskBytes);
    } else if (indexed) {
        std::memcpy(&h.block[kInfoHeaderSize], info + layout.infoSize - tableBytes, tableBytes);
    }
    return h;
}

std::optional<Header> ParseBmp(const uint8_t* data, size_t size) {
    auto layout = bmp::ParseBmpFile(data, size);
    if (!layout || !Inside(layout->bitsOffset, layout->bitsSize, size)) return std::nullopt;
    return RebuildHeader(data, size, *layout);
}

std::optional<Header> ParseBlocks(const uint8_t* info, size_t infoSize, size_t bitsSize) {
    auto layout = bmp::ParseDibInfo(info, infoSize, bitsSize);
    if (!layout || layout->bitsSize > bitsSize) return std::nullopt;
    return RebuildHeader(info, infoSize, *layout);
}

Colour TableColour(const Header& header, int32_t i) {
    const size_t at = kInfoHeaderSize + size_t(4) * size_t(i);
    if (i < 0 || header.layout.bitCount > 8 || !Inside(at, 4, header.block.size())) return {};
    const uint8_t* q = &header.block[at]; // blue, green, red, reserved
    return {q[2], q[1], q[0]};
}

namespace {

// One row of indexed pixels, bitCount (1, 4 or 8) bits each, the leftmost in the high bits.
void IndexedRow(const uint8_t* row, int width, int bitCount, const uint32_t* table, uint32_t* out) {
    const int perByte = 8 / bitCount, mask = (1 << bitCount) - 1;
    for (int x = 0; x < width; ++x) {
        const int shift = 8 - bitCount * (x % perByte + 1);
        out[x] = table[(row[x / perByte] >> shift) & mask];
    }
}

void RgbRow(const uint8_t* row, int width, uint32_t* out) {
    for (int x = 0; x < width; ++x, row += 3)
        out[x] = uint32_t(row[0]) | uint32_t(row[1]) << 8 | uint32_t(row[2]) << 16;
}

} // namespace

bool ToPixels(const Header& header, const uint8_t* bits, size_t bitsSize, uint32_t* out) {
    const bmp::DibLayout& l = header.layout;
    const int depth = l.bitCount;
    if (l.compression != kBiRgb ||
        (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32))
        return false;
    if (!bits || l.width <= 0 || l.height <= 0) return false;
    const size_t rowBytes = (size_t(l.width) * size_t(depth) + 7) / 8;
    if (l.stride < rowBytes || l.stride > bitsSize / size_t(l.height)) return false;
    uint32_t table[256] = {};
    if (depth <= 8)
        for (int32_t i = 0; i < (1 << depth); ++i) {
            const Colour c = TableColour(header, i);
            table[i] = uint32_t(c.b) | uint32_t(c.g) << 8 | uint32_t(c.r) << 16;
        }
    for (int32_t y = 0; y < l.height; ++y) {
        const uint8_t* row = bits + l.stride * size_t(l.topDown ? y : l.height - 1 - y);
        uint32_t* to = out + size_t(y) * size_t(l.width);
        if (depth == 32)
            std::memcpy(to, row, rowBytes);
        else if (depth == 24)
            RgbRow(row, l.width, to);
        else
            IndexedRow(row, l.width, depth, table, to);
    }
    return true;
}

} // namespace tovn::dib
