#include "quant/dib.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace tovn::quant {
namespace {

constexpr size_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0, kBiBitfields = 3;
// Larger pictures are refused: they would need gigabytes on their way through the reducer.
constexpr uint64_t kMaxPixels = uint64_t{1} << 26;

uint32_t U16(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}
uint32_t U32(const uint8_t* p) {
    return U16(p) | U16(p + 2) << 16;
}
void Put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v), p[1] = uint8_t(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v), Put16(p + 2, v >> 16);
}

// One colour channel of a 16- or 32-bit pixel, widened to 8 bits.
class Channel {
public:
    // False for a mask whose bits are not contiguous.
    bool Set(uint32_t mask) {
        mask_ = mask;
        shift_ = 0;
        if (mask == 0) return true;
        while (!(mask >> shift_ & 1)) ++shift_;
        const uint64_t field = uint64_t(mask) >> shift_;
        if ((field & (field + 1)) != 0) return false;
        max_ = uint32_t(field);
        return true;
    }
    uint8_t Of(uint32_t pixel) const {
        if (mask_ == 0) return 0;
        const uint64_t v = (pixel & mask_) >> shift_;
        return uint8_t((v * 255 + max_ / 2) / max_);
    }

private:
    uint32_t mask_ = 0, max_ = 1;
    int shift_ = 0;
};

struct Format {
    int bitCount = 0;
    Channel red, green, blue;
    std::vector<Rgb> table; // indexed pictures: 2^bitCount entries, missing ones black
};

// Masks and colour table; the header's own fields have been checked by the caller.
std::optional<Format> ReadFormat(const uint8_t* info, size_t infoSize, size_t headerSize,
                                 int bitCount, uint32_t compression) {
    Format f;
    f.bitCount = bitCount;
    size_t tableOffset = headerSize;
    if (compression == kBiBitfields) {
        if (bitCount != 16 && bitCount != 32) return std::nullopt;
        const size_t masksOffset = kInfoHeaderSize; // inside larger headers, else after it
        if (headerSize == kInfoHeaderSize) tableOffset += 12;
        if (infoSize < masksOffset + 12) return std::nullopt;
        if (!f.red.Set(U32(info + 40)) || !f.green.Set(U32(info + 44)) ||
            !f.blue.Set(U32(info + 48)))
            return std::nullopt;
    } else if (compression != kBiRgb) {
        return std::nullopt;
    } else if (bitCount == 16) {
        f.red.Set(0x7C00), f.green.Set(0x03E0), f.blue.Set(0x001F);
    } else if (bitCount == 32) {
        f.red.Set(0xFF0000), f.green.Set(0xFF00), f.blue.Set(0xFF);
    }
    if (bitCount <= 8) {
        const size_t full = size_t{1} << bitCount;
        const uint32_t used = U32(info + 32);
        size_t count = used > 0 && used < full ? used : full;
        const size_t available = tableOffset < infoSize ? (infoSize - tableOffset) / 4 : 0;
        count = std::min(count, available);
        f.table.resize(full);
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* q = info + tableOffset + 4 * i;
            f.table[i] = Rgb{q[2], q[1], q[0]};
        }
    }
    return f;
}

Rgb PixelAt(const Format& f, const uint8_t* row, int x) {
    switch (f.bitCount) {
    case 24: {
        const uint8_t* p = row + size_t(x) * 3;
        return Rgb{p[2], p[1], p[0]};
    }
    case 16:
    case 32: {
        const uint32_t v = f.bitCount == 16 ? U16(row + size_t(x) * 2) : U32(row + size_t(x) * 4);
        return Rgb{f.red.Of(v), f.green.Of(v), f.blue.Of(v)};
    }
    default: { // 1, 2, 4 or 8 bits: an index, most significant bits first
        const size_t bit = size_t(x) * f.bitCount;
        const int shift = 8 - f.bitCount - int(bit % 8);
        const unsigned index = row[bit / 8] >> shift & ((1u << f.bitCount) - 1);
        return f.table[index];
    }
    }
}

size_t Stride(int width, int bitCount) {
    return size_t((uint64_t(width) * bitCount + 31) / 32 * 4);
}

} // namespace

std::optional<DibPicture> ReadDib(const uint8_t* info, size_t infoSize, const uint8_t* bits,
                                  size_t bitsSize) {
    if (info == nullptr || bits == nullptr || infoSize < kInfoHeaderSize) return std::nullopt;
    const uint32_t headerSize = U32(info);
    const int32_t width = int32_t(U32(info + 4));
    const int32_t height = int32_t(U32(info + 8));
    const int bitCount = int(U16(info + 14));
    const uint32_t compression = U32(info + 16);
    if (headerSize < kInfoHeaderSize || headerSize > infoSize) return std::nullopt;
    if (width <= 0 || height == 0 || height == INT32_MIN) return std::nullopt;
    if (bitCount != 1 && bitCount != 2 && bitCount != 4 && bitCount != 8 && bitCount != 16 &&
        bitCount != 24 && bitCount != 32)
        return std::nullopt;
    const uint64_t rows = uint64_t(std::abs(int64_t{height}));
    if (uint64_t(width) * rows > kMaxPixels) return std::nullopt;
    const size_t stride = Stride(width, bitCount);
    if (uint64_t(stride) * rows > bitsSize) return std::nullopt;
    const std::optional<Format> format =
        ReadFormat(info, infoSize, headerSize, bitCount, compression);
    if (!format) return std::nullopt;

    DibPicture picture;
    picture.width = width;
    picture.height = int(rows);
    picture.pixels.resize(size_t(width) * rows);
    Rgb* out = picture.pixels.data();
    for (size_t y = 0; y < rows; ++y) {
        const size_t stored = height < 0 ? y : rows - 1 - y;
        const uint8_t* row = bits + stored * stride;
        for (int x = 0; x < width; ++x) *out++ = PixelAt(*format, row, x);
    }
    return picture;
}

DibBlocks WriteDib8(int width, int height, const Result& result) {
    DibBlocks dib;
    if (width <= 0 || height <= 0) return dib;
    const size_t rows = size_t(height);
    const size_t stride = Stride(width, 8);
    if (result.indices.size() != size_t(width) * rows) return dib;
    dib.info.assign(kInfoHeaderSize + 256 * 4, 0);
    uint8_t* h = dib.info.data();
    Put32(h, kInfoHeaderSize);
    Put32(h + 4, uint32_t(width));
    Put32(h + 8, uint32_t(height));
    Put16(h + 12, 1);
    Put16(h + 14, 8);
    Put32(h + 20, uint32_t(stride * rows));
    Put32(h + 32, 256);
    for (size_t i = 0; i < result.palette.size() && i < 256; ++i) {
        uint8_t* q = h + kInfoHeaderSize + 4 * i;
        q[0] = result.palette[i].b, q[1] = result.palette[i].g, q[2] = result.palette[i].r;
    }
    dib.bits.assign(stride * rows, 0);
    for (size_t y = 0; y < rows; ++y) {
        const size_t stored = rows - 1 - y;
        std::copy_n(result.indices.begin() + std::ptrdiff_t(y * size_t(width)), width,
                    dib.bits.begin() + std::ptrdiff_t(stored * stride));
    }
    return dib;
}

} // namespace tovn::quant
