#include "imaging/bytes.h"
#include "imaging/mag.h"
#include "imaging/mag_common.h"
#include <cstring>

namespace tovn::imaging {
namespace {

using namespace mag;

// Copy codes in the order that finds the common matches first.
constexpr int kTryOrder[] = {1, 4, 5, 6, 7, 9, 10, 2, 8, 11, 12, 13, 14, 3, 15};

// The picture's units over the aligned columns; padding pixels are index 0.
std::vector<uint16_t> BuildUnits(const Picture& p, const Grid& g) {
    std::vector<uint16_t> units(static_cast<size_t>(g.units) * p.height, 0);
    int shift = p.bitsPerPixel; // bits per pixel inside a unit
    for (int y = 0; y < p.height; ++y) {
        const uint8_t* src = p.pixels.data() + static_cast<size_t>(y) * p.width;
        uint16_t* row = units.data() + static_cast<size_t>(y) * g.units;
        for (int x = 0; x < p.width; ++x) {
            int col = p.left + x - g.first;
            int slot = g.pixelsPerUnit - 1 - col % g.pixelsPerUnit;
            row[col / g.pixelsPerUnit] |=
                static_cast<uint16_t>((src[x] & ((1 << shift) - 1)) << (slot * shift));
        }
    }
    return units;
}

bool Matches(const std::vector<uint16_t>& units, int width, int u, int y, int code) {
    CopyFrom c = kCopy[code];
    if (u < c.dx || y < c.dy) return false;
    size_t here = static_cast<size_t>(y) * width + u;
    return units[here] == units[here - static_cast<size_t>(c.dy) * width - c.dx];
}

// Picks a nibble per unit: the code of the unit above if it still matches (so the flag byte
// repeats and costs nothing), else the first match, else 0 (a literal).
std::vector<uint8_t> ChooseCodes(const std::vector<uint16_t>& units, int width, int lines) {
    std::vector<uint8_t> codes(units.size(), 0);
    for (int y = 0; y < lines; ++y) {
        for (int u = 0; u < width; ++u) {
            size_t here = static_cast<size_t>(y) * width + u;
            int above = y > 0 ? codes[here - width] : 0;
            if (above && Matches(units, width, u, y, above)) {
                codes[here] = static_cast<uint8_t>(above);
                continue;
            }
            for (int code : kTryOrder) {
                if (Matches(units, width, u, y, code)) {
                    codes[here] = static_cast<uint8_t>(code);
                    break;
                }
            }
        }
    }
    return codes;
}

struct Streams {
    std::vector<uint8_t> flagA, flagB, pixels;
};

Streams BuildStreams(const std::vector<uint16_t>& units, const std::vector<uint8_t>& codes,
                     int width, int lines) {
    Streams s;
    int perLine = width / 2;
    std::vector<uint8_t> above(perLine, 0);
    size_t bit = 0;
    for (int y = 0; y < lines; ++y) {
        for (int i = 0; i < perLine; ++i, ++bit) {
            size_t u = static_cast<size_t>(y) * width + 2 * i;
            uint8_t flag = static_cast<uint8_t>(codes[u] << 4 | codes[u + 1]);
            if (bit % 8 == 0) s.flagA.push_back(0);
            if (uint8_t x = flag ^ above[i]) {
                s.flagA.back() |= static_cast<uint8_t>(0x80 >> (bit % 8));
                s.flagB.push_back(x);
            }
            above[i] = flag;
        }
        for (int u = 0; u < width; ++u) {
            size_t at = static_cast<size_t>(y) * width + u;
            if (codes[at] == 0) {
                s.pixels.push_back(static_cast<uint8_t>(units[at] >> 8));
                s.pixels.push_back(static_cast<uint8_t>(units[at]));
            }
        }
    }
    // Even sizes, as the PC-98 savers wrote them.
    if (s.flagA.size() % 2) s.flagA.push_back(0);
    if (s.flagB.size() % 2) s.flagB.push_back(0);
    return s;
}

void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& part) {
    out.insert(out.end(), part.begin(), part.end());
}

std::vector<uint8_t> Header(const Picture& p, const Streams& s) {
    std::vector<uint8_t> h(kHeaderSize, 0);
    h[3] =
        static_cast<uint8_t>((p.bitsPerPixel == 8 ? kMode256 : 0) | (p.tallDots ? kModeTall : 0));
    bytes::PutLe16(&h[4], static_cast<uint32_t>(p.left));
    bytes::PutLe16(&h[6], static_cast<uint32_t>(p.top));
    bytes::PutLe16(&h[8], static_cast<uint32_t>(p.left + p.width - 1));
    bytes::PutLe16(&h[10], static_cast<uint32_t>(p.top + p.height - 1));
    uint32_t flagA = static_cast<uint32_t>(kHeaderSize + 3 * (p.bitsPerPixel == 8 ? 256 : 16));
    uint32_t flagB = flagA + static_cast<uint32_t>(s.flagA.size());
    uint32_t pixels = flagB + static_cast<uint32_t>(s.flagB.size());
    bytes::PutLe32(&h[12], flagA);
    bytes::PutLe32(&h[16], flagB);
    bytes::PutLe32(&h[20], static_cast<uint32_t>(s.flagB.size()));
    bytes::PutLe32(&h[24], pixels);
    bytes::PutLe32(&h[28], static_cast<uint32_t>(s.pixels.size()));
    return h;
}

bool Storable(const Picture& p) {
    if (p.bitsPerPixel != 4 && p.bitsPerPixel != 8) return false;
    if (p.width <= 0 || p.height <= 0 || p.left < 0 || p.top < 0) return false;
    if (int64_t{p.left} + p.width > 0x10000 || int64_t{p.top} + p.height > 0x10000) return false;
    if (static_cast<uint64_t>(p.width) * p.height > kMaxPixels) return false;
    return p.pixels.size() == static_cast<size_t>(p.width) * p.height &&
           p.palette.size() <= (size_t{1} << p.bitsPerPixel);
}

} // namespace

std::vector<uint8_t> EncodeMag(const Picture& p) {
    if (!Storable(p)) return {};
    bool is256 = p.bitsPerPixel == 8;
    Grid g = MakeGrid(p.left, p.left + p.width - 1, is256);
    std::vector<uint16_t> units = BuildUnits(p, g);
    std::vector<uint8_t> codes = ChooseCodes(units, g.units, p.height);
    Streams s = BuildStreams(units, codes, g.units, p.height);

    // Signature, machine, user name (18 + 2 spaces), no comment, end of text.
    const char text[] = "MAKI02  TOVN                    \x1A";
    std::vector<uint8_t> out(text, text + sizeof text - 1);
    Append(out, Header(p, s));
    size_t colors = size_t{1} << p.bitsPerPixel;
    for (size_t i = 0; i < colors; ++i) {
        Rgb c = i < p.palette.size() ? p.palette[i] : Rgb{};
        out.insert(out.end(), {c.g, c.r, c.b});
    }
    Append(out, s.flagA);
    Append(out, s.flagB);
    Append(out, s.pixels);
    return out;
}

} // namespace tovn::imaging
