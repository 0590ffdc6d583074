#include "imaging/pic.h"
#include "imaging/bytes.h"
#include "imaging/header_text.h"
#include "imaging/reader.h"
#include <array>

namespace tovn::imaging {
namespace {

using bytes::Be16;

constexpr uint32_t kUnset = UINT32_MAX;

uint8_t Widen5(uint32_t v) {
    return static_cast<uint8_t>(v << 3 | v >> 2);
}
uint8_t Widen6(uint32_t v) {
    return static_cast<uint8_t>(v << 2 | v >> 4);
}

// GGGGGRRRRRBBBBB(I): the intensity bit, when present, is a sixth low bit of every component.
Rgb ColorOf(uint32_t word, bool intensity) {
    uint32_t g = word >> 11 & 31, r = word >> 6 & 31, b = word >> 1 & 31;
    if (!intensity) return {Widen5(word >> 5 & 31), Widen5(word >> 10 & 31), Widen5(word & 31)};
    uint32_t i = word & 1;
    return {Widen6(r << 1 | i), Widen6(g << 1 | i), Widen6(b << 1 | i)};
}

// The 128 most recent direct colours, replaced least recently used first.
class ColorCache {
public:
    ColorCache() {
        for (int i = 0; i < 128; ++i) order_[i] = static_cast<uint8_t>((i + 1) % 128);
    }
    uint32_t Read(BitReader& in, int bits) {
        uint8_t slot;
        if (in.Bit()) {
            slot = static_cast<uint8_t>(in.Bits(7));
        } else {
            slot = order_[0];
            colors_[slot] = in.Bits(bits);
        }
        Touch(slot);
        return colors_[slot];
    }

private:
    void Touch(uint8_t slot) {
        int at = 0;
        while (order_[at] != slot) ++at;
        for (; at < 127; ++at) order_[at] = order_[at + 1];
        order_[127] = slot;
    }
    std::array<uint32_t, 128> colors_{};
    std::array<uint8_t, 128> order_{}; // least recently used first
};

// k one-bits, a zero, k+1 bits v: v + 2^(k+1) - 1.
uint64_t ReadLength(BitReader& in) {
    int k = 0;
    while (in.Bit())
        if (++k > 32) throw BrokenData();
    return in.Bits(k + 1) + (uint64_t{2} << k) - 1;
}

// Chain steps: 01 one left, 10 straight, 11 one right, 000 end, 0010 two left, 0011 two right.
bool ReadStep(BitReader& in, int* dx) {
    switch (in.Bits(2)) {
    case 1:
        *dx = -1;
        return true;
    case 2:
        *dx = 0;
        return true;
    case 3:
        *dx = 1;
        return true;
    default:
        if (!in.Bit()) return false;
        *dx = in.Bit() ? 2 : -2;
        return true;
    }
}

// Cells hold the colour of each change point, kUnset elsewhere.
void ReadCells(BitReader& in, int width, int height, int bits, std::vector<uint32_t>& cells) {
    ColorCache cache;
    const uint64_t total = cells.size();
    uint64_t p = UINT64_MAX; // one before the first cell
    for (;;) {
        p += ReadLength(in);
        if (p >= total) return;
        uint32_t color = bits <= 8 ? in.Bits(bits) : cache.Read(in, bits);
        cells[p] = color;
        if (!in.Bit()) continue;
        int64_t x = static_cast<int64_t>(p % width), y = static_cast<int64_t>(p / width);
        int dx;
        while (ReadStep(in, &dx)) {
            x += dx;
            ++y;
            // A chain leaving the picture is followed but draws nothing there.
            if (x >= 0 && x < width && y < height) cells[y * width + x] = color;
        }
    }
}

Picture Decode(const uint8_t* data, size_t size) {
    size_t at = SkipHeaderText(data, size, 3);
    ByteReader head(data + at, size - at);
    const uint8_t* h = head.Take(8);
    int type = h[1];
    int bits = Be16(h + 2);
    if (type != 0 || (bits != 4 && bits != 8 && bits != 15 && bits != 16)) throw BrokenData();
    int width = Be16(h + 4), height = Be16(h + 6);
    Picture pic = MakePicture(width, height, bits <= 8 ? bits : 24);
    if (bits <= 8) {
        const uint8_t* words = head.Take(size_t{2} << bits);
        for (int i = 0; i < 1 << bits; ++i)
            pic.palette.push_back(ColorOf(Be16(words + 2 * i), true));
    }
    BitReader in(data + at + head.Pos(), size - at - head.Pos());
    std::vector<uint32_t> cells(pic.pixels.size() / (bits <= 8 ? 1 : 3), kUnset);
    ReadCells(in, width, height, bits, cells);

    uint32_t running = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (cells[i] != kUnset) running = cells[i];
        if (bits <= 8) {
            pic.pixels[i] = static_cast<uint8_t>(running);
        } else {
            Rgb c = ColorOf(running, bits == 16);
            pic.pixels[3 * i] = c.r;
            pic.pixels[3 * i + 1] = c.g;
            pic.pixels[3 * i + 2] = c.b;
        }
    }
    return pic;
}

} // namespace

bool IsPic(const uint8_t* data, size_t size) {
    return data && size >= 3 && data[0] == 'P' && data[1] == 'I' && data[2] == 'C';
}

bool LooksLikePic(const uint8_t* data, size_t size) {
    if (!IsPic(data, size)) return false;
    try {
        size_t at = SkipHeaderText(data, size, 3);
        return size - at > 2;
    } catch (const BrokenData&) {
        return false;
    }
}

Decoded DecodePic(const uint8_t* data, size_t size) {
    if (!IsPic(data, size)) return {Status::Unsupported, {}};
    return Guarded([&] { return Decode(data, size); });
}

} // namespace tovn::imaging
