#include "imaging/mag.h"
#include "imaging/bytes.h"
#include "imaging/mag_common.h"
#include "imaging/reader.h"
#include <cstring>

namespace tovn::imaging {
namespace {

using bytes::Le16;
using bytes::Le32;
using namespace mag;

constexpr char kSignature[] = "MAKI02  ";

// Finds the header: the first 0x00 at or after the byte that follows the first 0x1A.
size_t FindHeader(const uint8_t* data, size_t size) {
    const void* eof = std::memchr(data + 8, 0x1A, size - 8);
    if (!eof) throw BrokenData();
    size_t at = static_cast<size_t>(static_cast<const uint8_t*>(eof) - data) + 1;
    while (at < size && data[at] != 0) ++at;
    if (size - at < kHeaderSize) throw BrokenData();
    return at;
}

// The bytes from header-relative `offset` to the end of the file, at most `limit` of them.
ByteReader Region(const uint8_t* data, size_t size, size_t h, uint32_t offset,
                  uint64_t limit = UINT64_MAX) {
    uint64_t at = static_cast<uint64_t>(h) + offset;
    if (at > size) throw BrokenData();
    uint64_t n = std::min<uint64_t>(size - at, limit);
    return ByteReader(data + at, static_cast<size_t>(n));
}

// Decodes the unit grid: `lines` rows of units × 2 bytes.
std::vector<uint8_t> DecodeUnits(int units, int lines, BitReader& flagA, ByteReader& flagB,
                                 ByteReader& pixels) {
    size_t rowBytes = static_cast<size_t>(units) * 2;
    std::vector<uint8_t> grid(rowBytes * lines);
    std::vector<uint8_t> flags(units / 2, 0);
    for (int y = 0; y < lines; ++y) {
        for (uint8_t& f : flags)
            if (flagA.Bit()) f ^= flagB.Byte();
        uint8_t* row = grid.data() + rowBytes * y;
        for (int u = 0; u < units; ++u) {
            int nibble = u % 2 ? flags[u / 2] & 15 : flags[u / 2] >> 4;
            const uint8_t* src;
            if (nibble == 0) {
                src = pixels.Take(2);
            } else {
                CopyFrom c = kCopy[nibble];
                if (u < c.dx || y < c.dy) throw BrokenData();
                src = row - rowBytes * c.dy + 2 * (u - c.dx);
            }
            row[2 * u] = src[0];
            row[2 * u + 1] = src[1];
        }
    }
    return grid;
}

// Expands the units into pixels, leaving out the `skip` padding columns on the left and
// whatever lies right of the picture's width.
void Crop(const std::vector<uint8_t>& grid, const Grid& g, int skip, Picture& pic) {
    size_t rowBytes = static_cast<size_t>(g.units) * 2;
    bool is256 = pic.bitsPerPixel == 8;
    for (int y = 0; y < pic.height; ++y) {
        const uint8_t* row = grid.data() + rowBytes * y;
        uint8_t* out = pic.pixels.data() + static_cast<size_t>(y) * pic.width;
        for (int x = 0; x < pic.width; ++x) {
            int sx = x + skip;
            out[x] = is256 ? row[sx] : (row[sx / 2] >> (sx % 2 ? 0 : 4)) & 15;
        }
    }
}

Picture Decode(const uint8_t* data, size_t size) {
    size_t h = FindHeader(data, size);
    const uint8_t* hd = data + h;
    uint8_t mode = hd[3];
    bool is256 = mode & kMode256;
    int startX = Le16(hd + 4), startY = Le16(hd + 6), endX = Le16(hd + 8), endY = Le16(hd + 10);
    if (endX < startX || endY < startY) throw BrokenData();
    Grid g = MakeGrid(startX, endX, is256);
    int lines = endY - startY + 1;

    // Flag A holds one bit per flag byte: refuse sizes the file cannot describe.
    ByteReader flagABytes = Region(data, size, h, Le32(hd + 12));
    uint64_t flagBits = static_cast<uint64_t>(g.units / 2) * lines;
    const uint8_t* flagAStart = flagABytes.Take((flagBits + 7) / 8);
    BitReader flagA(flagAStart, static_cast<size_t>((flagBits + 7) / 8));
    ByteReader flagB = Region(data, size, h, Le32(hd + 16), Le32(hd + 20));
    ByteReader pixels = Region(data, size, h, Le32(hd + 24), Le32(hd + 28));

    // Flag A needs a bit per 8 (or 4) pixels, which bounds the size by the file already.
    Picture pic = MakePicture(endX - startX + 1, lines, is256 ? 8 : 4, kMaxPixels);
    pic.left = startX;
    pic.top = startY;
    pic.tallDots = mode & kModeTall;
    size_t colors = is256 ? 256 : 16;
    ByteReader palette = Region(data, size, h, kHeaderSize);
    pic.palette = GrbPalette(palette.Take(colors * 3), colors);
    Crop(DecodeUnits(g.units, lines, flagA, flagB, pixels), g, startX - g.first, pic);
    return pic;
}

} // namespace

bool IsMag(const uint8_t* data, size_t size) {
    return data && size >= 8 && std::memcmp(data, kSignature, 8) == 0;
}

Decoded DecodeMag(const uint8_t* data, size_t size) {
    if (!IsMag(data, size)) return {Status::Unsupported, {}};
    return Guarded([&] { return Decode(data, size); });
}

} // namespace tovn::imaging
