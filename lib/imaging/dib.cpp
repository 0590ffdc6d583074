#include "imaging/dib.h"
#include "imaging/bytes.h"
#include <algorithm>

namespace tovn::imaging {
namespace {

size_t Stride(const Picture& p) {
    return (static_cast<size_t>(p.width) * p.bitsPerPixel + 31) / 32 * 4;
}

void PackRow(const Picture& p, const uint8_t* src, uint8_t* out) {
    switch (p.bitsPerPixel) {
    case 4:
        for (int x = 0; x < p.width; ++x)
            out[x / 2] |= static_cast<uint8_t>((src[x] & 15) << (x % 2 ? 0 : 4));
        break;
    case 8:
        std::copy(src, src + p.width, out);
        break;
    default:
        for (int x = 0; x < p.width; ++x) {
            out[3 * x] = src[3 * x + 2];
            out[3 * x + 1] = src[3 * x + 1];
            out[3 * x + 2] = src[3 * x];
        }
    }
}

} // namespace

std::vector<uint8_t> DibInfo(const Picture& p) {
    std::vector<uint8_t> info(40 + 4 * p.palette.size(), 0);
    uint8_t* h = info.data();
    bytes::PutLe32(h, 40);
    bytes::PutLe32(h + 4, static_cast<uint32_t>(p.width));
    bytes::PutLe32(h + 8, static_cast<uint32_t>(p.height));
    bytes::PutLe16(h + 12, 1);
    bytes::PutLe16(h + 14, static_cast<uint32_t>(p.bitsPerPixel));
    bytes::PutLe32(h + 20, static_cast<uint32_t>(Stride(p) * p.height));
    // 200-line pictures have dots twice as tall: half the vertical resolution.
    uint32_t perMetre = 3780;
    bytes::PutLe32(h + 24, perMetre);
    bytes::PutLe32(h + 28, p.tallDots ? perMetre / 2 : perMetre);
    bytes::PutLe32(h + 32, static_cast<uint32_t>(p.palette.size()));
    uint8_t* e = h + 40;
    for (const Rgb& c : p.palette) {
        e[0] = c.b;
        e[1] = c.g;
        e[2] = c.r;
        e += 4;
    }
    return info;
}

std::vector<uint8_t> DibBits(const Picture& p) {
    size_t stride = Stride(p);
    size_t perPixel = p.bitsPerPixel == 24 ? 3 : 1;
    std::vector<uint8_t> bits(stride * p.height, 0);
    for (int y = 0; y < p.height; ++y) {
        const uint8_t* src = p.pixels.data() + static_cast<size_t>(y) * p.width * perPixel;
        PackRow(p, src, bits.data() + static_cast<size_t>(p.height - 1 - y) * stride);
    }
    return bits;
}

} // namespace tovn::imaging
