// Rewriting BMP files whose pixels are run-length coded, masked or carry alpha as plain ones.
// The outside data only ever bounds what is read: runs, deltas and escapes that point past a
// row or past the picture are dropped, and a stream that ends early leaves the rest at
// index 0, as GDI shows such files.
#include "imaging/bmp.h"
#include "imaging/bytes.h"
#include <algorithm>

namespace tovn::bmp {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kMasksAt = 40; // red, green, blue masks: after or inside the info header
constexpr size_t kAlphaAt = 52; // the alpha mask of the longer headers
constexpr size_t kAlphaHeader = 56;

// Palette indices, bottom row first, packed at the picture's depth with rows of `stride`.
class IndexRows {
public:
    explicit IndexRows(const DibLayout& d)
        : width_(d.width), height_(d.height), bits_(d.bitCount), stride_(d.stride),
          rows_(d.stride * static_cast<size_t>(d.height), 0) {}
    bool Done() const { return y_ >= height_; }
    // Puts `count` pixels; those past the row's end are dropped.
    template <class Index> void Put(int count, Index index) {
        int n = std::min(count, width_ - x_);
        for (int k = 0; k < n; ++k) Set(x_ + k, index(k));
        x_ += std::max(n, 0);
    }
    void NextRow() {
        x_ = 0;
        ++y_;
    }
    void Move(int dx, int dy) {
        x_ = std::min(x_ + dx, width_);
        y_ += dy;
    }
    std::vector<uint8_t> File(const std::vector<Rgb>& palette) const {
        return WriteBmpFile(width_, height_, bits_, palette, rows_.data(), stride_);
    }

private:
    void Set(int x, uint8_t index) {
        uint8_t* row = rows_.data() + static_cast<size_t>(y_) * stride_;
        if (bits_ == 8) {
            row[x] = index;
        } else { // 4 bits, the left pixel in the high nibble
            uint8_t& b = row[x / 2];
            b = x % 2 ? static_cast<uint8_t>((b & 0xF0) | (index & 15))
                      : static_cast<uint8_t>((b & 0x0F) | index << 4);
        }
    }

    int width_, height_, bits_;
    size_t stride_;
    std::vector<uint8_t> rows_;
    int x_ = 0, y_ = 0;
};

// The n-th index of a run or literal: whole bytes, or nibbles high first.
uint8_t Nibble(uint8_t b, int n) {
    return n % 2 ? b & 15 : b >> 4;
}

void DecodeRle(const uint8_t* p, size_t size, bool nibbles, IndexRows& out) {
    size_t i = 0;
    while (i + 2 <= size && !out.Done()) {
        const uint8_t count = p[i], value = p[i + 1];
        i += 2;
        if (count > 0) {
            out.Put(count, [&](int k) { return nibbles ? Nibble(value, k) : value; });
        } else if (value == 0) {
            out.NextRow();
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (i + 2 > size) return;
            out.Move(p[i], p[i + 1]);
            i += 2;
        } else { // literal pixels, padded to a whole 16-bit word
            const size_t bytes = nibbles ? (value + 1u) / 2 : value;
            if (bytes > size - i) return;
            const uint8_t* literal = p + i;
            out.Put(value, [&](int k) { return nibbles ? Nibble(literal[k / 2], k) : literal[k]; });
            i += (bytes + 1) & ~size_t{1};
        }
    }
}

// One colour channel of a masked pixel, widened to 8 bits.
struct Channel {
    explicit Channel(uint32_t mask) : mask_(mask) {
        while (mask_ && !(mask_ >> shift_ & 1)) ++shift_;
        max_ = mask_ >> shift_;
    }
    bool Present() const { return mask_ != 0; }
    uint8_t Of(uint32_t pixel) const {
        if (!max_) return 0;
        uint64_t v = (pixel & mask_) >> shift_;
        return static_cast<uint8_t>((v * 255 + max_ / 2) / max_);
    }

private:
    uint32_t mask_;
    int shift_ = 0;
    uint32_t max_ = 0;
};

struct Masks {
    Channel r, g, b, a;
};

// The masks of a 16- or 32-bit picture. Without bit fields, 32-bit pixels keep alpha in
// their top byte (as Windows' own alpha bitmaps do); 16-bit ones have none.
Masks MasksOf(const uint8_t* data, const DibLayout& d) {
    const uint8_t* h = data + d.infoOffset;
    if (d.compression != kBitFields) {
        if (d.bitCount == 32)
            return {Channel(0xFF0000), Channel(0xFF00), Channel(0xFF), Channel(0xFF000000)};
        return {Channel(0x7C00), Channel(0x3E0), Channel(0x1F), Channel(0)};
    }
    const uint32_t headerSize = bytes::Le32(h);
    const uint32_t alpha = headerSize >= kAlphaHeader ? bytes::Le32(h + kAlphaAt) : 0;
    return {Channel(bytes::Le32(h + kMasksAt)), Channel(bytes::Le32(h + kMasksAt + 4)),
            Channel(bytes::Le32(h + kMasksAt + 8)), Channel(alpha)};
}

uint32_t PixelAt(const uint8_t* row, int x, int bitCount) {
    return bitCount == 32 ? bytes::Le32(row + 4 * static_cast<size_t>(x))
                          : bytes::Le16(row + 2 * static_cast<size_t>(x));
}

const uint8_t* StoredRow(const uint8_t* data, const DibLayout& d, int fromBottom) {
    int stored = d.topDown ? d.height - 1 - fromBottom : fromBottom;
    return data + d.bitsOffset + static_cast<size_t>(stored) * d.stride;
}

// Whether the alpha channel carries alpha: an all-zero one is only unused bits.
bool AlphaInUse(const uint8_t* data, const DibLayout& d, const Channel& alpha) {
    if (!alpha.Present()) return false;
    for (int y = 0; y < d.height; ++y) {
        const uint8_t* row = StoredRow(data, d, y);
        for (int x = 0; x < d.width; ++x)
            if (alpha.Of(PixelAt(row, x, d.bitCount)) != 0) return true;
    }
    return false;
}

uint8_t OverWhite(uint8_t c, uint8_t a) {
    return static_cast<uint8_t>((c * a + 255 * (255 - a) + 127) / 255);
}

std::vector<uint8_t> TrueColourFile(const uint8_t* data, const DibLayout& d, const Masks& m,
                                    bool alpha) {
    const size_t stride = (static_cast<size_t>(d.width) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> rows(stride * static_cast<size_t>(d.height));
    for (int y = 0; y < d.height; ++y) {
        const uint8_t* row = StoredRow(data, d, y);
        uint8_t* out = rows.data() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < d.width; ++x, out += 3) {
            const uint32_t v = PixelAt(row, x, d.bitCount);
            const uint8_t a = alpha ? m.a.Of(v) : 255;
            out[0] = OverWhite(m.b.Of(v), a);
            out[1] = OverWhite(m.g.Of(v), a);
            out[2] = OverWhite(m.r.Of(v), a);
        }
    }
    return WriteBmpFile(d.width, d.height, 24, {}, rows.data(), stride);
}

} // namespace

std::vector<Rgb> ColourTable(const uint8_t* data, const DibLayout& d) {
    const size_t entry = bytes::Le32(data + d.infoOffset) == 12 ? 3 : 4;
    const uint8_t* t = data + d.infoOffset + d.infoSize - d.colorCount * entry;
    std::vector<Rgb> table;
    for (uint32_t i = 0; i < d.colorCount; ++i, t += entry) table.push_back({t[2], t[1], t[0]});
    return table;
}

std::vector<uint8_t> PlainBmpFile(std::vector<uint8_t> file) {
    const auto d = ParseBmpFile(file.data(), file.size());
    if (!d) return {};
    const uint8_t* data = file.data();
    if (d->compression == kRle8 || d->compression == kRle4) {
        if (static_cast<uint64_t>(d->stride) * static_cast<uint64_t>(d->height) > kMaxRleRows)
            return {};
        IndexRows rows(*d);
        DecodeRle(data + d->bitsOffset, d->bitsSize, d->compression == kRle4, rows);
        return rows.File(ColourTable(data, *d));
    }
    if (d->bitCount != 16 && d->bitCount != 32) return file;
    if (d->compression == kBitFields && d->infoSize < kMasksAt + 12) return {};
    const Masks masks = MasksOf(data, *d);
    const bool alpha = AlphaInUse(data, *d, masks.a);
    if (d->compression == kRgb && !alpha) return file;
    return TrueColourFile(data, *d, masks, alpha);
}

} // namespace tovn::bmp
