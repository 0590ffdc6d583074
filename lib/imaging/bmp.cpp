#include "imaging/bmp.h"
#include "imaging/bytes.h"
#include <algorithm>

namespace tovn::bmp {
namespace {

using bytes::Le16;
using bytes::Le32;

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kCoreHeaderSize = 12;
constexpr size_t kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

bool ValidBitCount(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool CompressionFits(uint32_t compression, uint16_t bits) {
    switch (compression) {
    case kRgb:
        return true;
    case kRle8:
        return bits == 8;
    case kRle4:
        return bits == 4;
    case kBitFields:
        return bits == 16 || bits == 32;
    default:
        return false;
    }
}

// Reads the info header at `at` and fills everything but the bits' place and size.
// `end` is where the header block may extend to at most.
std::optional<DibLayout> ParseHeader(const uint8_t* data, size_t at, size_t end,
                                     uint32_t* sizeImage) {
    if (at > end || end - at < 4) return std::nullopt;
    const uint8_t* h = data + at;
    uint32_t headerSize = Le32(h);
    if (headerSize != kCoreHeaderSize && headerSize < kInfoHeaderSize) return std::nullopt;
    if (headerSize > end - at) return std::nullopt;

    DibLayout d;
    d.infoOffset = at;
    size_t entrySize = 4;
    uint32_t clrUsed = 0;
    int64_t height = 0;
    *sizeImage = 0;
    if (headerSize == kCoreHeaderSize) {
        d.width = Le16(h + 4);
        height = Le16(h + 6);
        if (Le16(h + 8) != 1) return std::nullopt;
        d.bitCount = Le16(h + 10);
        entrySize = 3;
    } else {
        d.width = static_cast<int32_t>(Le32(h + 4));
        height = static_cast<int32_t>(Le32(h + 8));
        if (Le16(h + 12) != 1) return std::nullopt;
        d.bitCount = Le16(h + 14);
        d.compression = Le32(h + 16);
        *sizeImage = Le32(h + 20);
        clrUsed = Le32(h + 32);
    }
    if (!ValidBitCount(d.bitCount) || !CompressionFits(d.compression, d.bitCount))
        return std::nullopt;
    if (d.width <= 0 || height == 0) return std::nullopt;
    d.topDown = height < 0;
    height = d.topDown ? -height : height;
    if (height > INT32_MAX) return std::nullopt;
    d.height = static_cast<int32_t>(height);
    // Compressed pictures are stored bottom-up only.
    if (d.topDown && (d.compression == kRle4 || d.compression == kRle8)) return std::nullopt;

    uint64_t rowBits = static_cast<uint64_t>(d.width) * d.bitCount;
    uint64_t stride = (rowBits + 31) / 32 * 4;
    if (stride > UINT32_MAX) return std::nullopt;
    d.stride = static_cast<size_t>(stride);

    if (d.bitCount <= 8) {
        uint32_t maxColors = 1u << d.bitCount;
        if (clrUsed > maxColors) return std::nullopt;
        d.colorCount = clrUsed ? clrUsed : maxColors;
    } else {
        if (clrUsed > 256) return std::nullopt;
        d.colorCount = clrUsed;
    }
    // Masks follow a plain info header; the larger headers carry them inside.
    size_t masks = (d.compression == kBitFields && headerSize == kInfoHeaderSize) ? 12 : 0;
    size_t info = headerSize + masks + static_cast<size_t>(d.colorCount) * entrySize;
    if (info > end - at) return std::nullopt;
    d.infoSize = info;
    return d;
}

// Sets bitsSize from the header and checks it against the `available` bytes.
bool FitBits(DibLayout& d, uint32_t sizeImage, size_t available) {
    if (d.compression == kRle4 || d.compression == kRle8) {
        d.bitsSize = sizeImage ? sizeImage : available;
        return d.bitsSize > 0 && d.bitsSize <= available;
    }
    uint64_t need = static_cast<uint64_t>(d.stride) * static_cast<uint64_t>(d.height);
    if (need > available) return false;
    d.bitsSize = static_cast<size_t>(need);
    return true;
}

} // namespace

std::optional<DibLayout> ParseBmpFile(const uint8_t* data, size_t size) {
    if (!data || size < kFileHeaderSize + kCoreHeaderSize) return std::nullopt;
    if (data[0] != 'B' || data[1] != 'M') return std::nullopt;
    uint32_t offBits = Le32(data + 10);
    if (offBits > size || offBits < kFileHeaderSize) return std::nullopt;
    uint32_t sizeImage = 0;
    auto d = ParseHeader(data, kFileHeaderSize, offBits, &sizeImage);
    if (!d) return std::nullopt;
    d->bitsOffset = offBits;
    if (!FitBits(*d, sizeImage, size - offBits)) return std::nullopt;
    return d;
}

std::optional<DibLayout> ParseDibInfo(const uint8_t* info, size_t infoSize, size_t bitsSize) {
    if (!info) return std::nullopt;
    uint32_t sizeImage = 0;
    auto d = ParseHeader(info, 0, infoSize, &sizeImage);
    if (!d || !FitBits(*d, sizeImage, bitsSize)) return std::nullopt;
    return d;
}

std::vector<uint8_t> WriteBmpFile(int width, int height, int bitCount,
                                  const std::vector<Rgb>& palette, const uint8_t* rows,
                                  size_t stride) {
    bool paletted = bitCount == 1 || bitCount == 4 || bitCount == 8;
    if (!paletted && bitCount != 24) return {};
    if (width <= 0 || height <= 0 || !rows) return {};
    size_t maxColors = paletted ? size_t{1} << bitCount : 0;
    if (palette.size() > maxColors) return {};
    uint64_t rowBytes = (static_cast<uint64_t>(width) * bitCount + 7) / 8;
    uint64_t outStride = (rowBytes + 3) / 4 * 4;
    if (stride < rowBytes) return {};
    size_t offBits = kFileHeaderSize + kInfoHeaderSize + palette.size() * 4;
    uint64_t total = offBits + outStride * static_cast<uint64_t>(height);
    if (total > UINT32_MAX) return {};

    std::vector<uint8_t> out(static_cast<size_t>(total), 0);
    uint8_t* p = out.data();
    p[0] = 'B';
    p[1] = 'M';
    bytes::PutLe32(p + 2, static_cast<uint32_t>(total));
    bytes::PutLe32(p + 10, static_cast<uint32_t>(offBits));
    uint8_t* h = p + kFileHeaderSize;
    bytes::PutLe32(h, kInfoHeaderSize);
    bytes::PutLe32(h + 4, static_cast<uint32_t>(width));
    bytes::PutLe32(h + 8, static_cast<uint32_t>(height));
    bytes::PutLe16(h + 12, 1);
    bytes::PutLe16(h + 14, static_cast<uint32_t>(bitCount));
    bytes::PutLe32(h + 20, static_cast<uint32_t>(outStride * height));
    bytes::PutLe32(h + 32, static_cast<uint32_t>(palette.size()));
    uint8_t* table = h + kInfoHeaderSize;
    for (const Rgb& c : palette) {
        table[0] = c.b;
        table[1] = c.g;
        table[2] = c.r;
        table += 4;
    }
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = rows + static_cast<size_t>(y) * stride;
        std::copy(src, src + rowBytes, p + offBits + static_cast<size_t>(y) * outStride);
    }
    return out;
}

} // namespace tovn::bmp
