#include "imaging/mki.h"
#include "imaging/bytes.h"
#include "imaging/reader.h"
#include <cstring>

namespace tovn::imaging {
namespace {

using bytes::Be16;

constexpr size_t kPaletteAt = 48;
constexpr size_t kFlagAAt = 96;

// One bit per pixel-data byte (two pixels): which bytes come from the pixel data.
// Blocks of 4 bits x 4 lines, one flag-A bit each; a set block takes two flag-B bytes.
std::vector<uint8_t> ReadMask(int byteWidth, int lines, BitReader& flagA, ByteReader& flagB) {
    std::vector<uint8_t> mask(static_cast<size_t>(byteWidth) * lines, 0);
    for (int by = 0; by < lines / 4; ++by) {
        for (int bx = 0; bx < byteWidth / 4; ++bx) {
            if (!flagA.Bit()) continue;
            uint32_t bits = static_cast<uint32_t>(flagB.Byte()) << 8;
            bits |= flagB.Byte();
            for (int i = 0; i < 16; ++i) {
                size_t y = static_cast<size_t>(by) * 4 + i / 4;
                mask[y * byteWidth + bx * 4 + i % 4] = bits >> (15 - i) & 1;
            }
        }
    }
    return mask;
}

Picture Decode(const uint8_t* data, size_t size) {
    if (size < kFlagAAt) throw BrokenData();
    int width = Be16(data + 44) - Be16(data + 40);
    int height = Be16(data + 46) - Be16(data + 42);
    // The block grid needs whole blocks of 8 pixels by 4 lines.
    if (width <= 0 || height <= 0 || width % 8 || height % 4) throw BrokenData();
    Picture pic = MakePicture(width, height, 4);
    pic.left = Be16(data + 40);
    pic.top = Be16(data + 42);
    pic.tallDots = Be16(data + 38) & 1;
    pic.palette = GrbPalette(data + kPaletteAt, 16);

    int byteWidth = width / 2;
    size_t blocks = static_cast<size_t>(byteWidth / 4) * (height / 4);
    ByteReader rest(data + kFlagAAt, size - kFlagAAt);
    const uint8_t* flagABytes = rest.Take((blocks + 7) / 8);
    BitReader flagA(flagABytes, (blocks + 7) / 8);
    ByteReader flagB(rest.Take(Be16(data + 32)), Be16(data + 32));
    size_t pixelBytes = size_t{Be16(data + 34)} + Be16(data + 36);
    size_t left = size - kFlagAAt - rest.Pos();
    ByteReader pixels(data + size - left, std::min(pixelBytes, left));

    std::vector<uint8_t> mask = ReadMask(byteWidth, height, flagA, flagB);
    std::vector<uint8_t> screen(mask.size());
    for (size_t i = 0; i < mask.size(); ++i) screen[i] = mask[i] ? pixels.Byte() : 0;
    size_t gap = static_cast<size_t>(data[6] == 'A' ? 2 : 4) * byteWidth;
    for (size_t i = gap; i < screen.size(); ++i) screen[i] ^= screen[i - gap];
    for (size_t i = 0; i < screen.size(); ++i) {
        pic.pixels[2 * i] = screen[i] >> 4;
        pic.pixels[2 * i + 1] = screen[i] & 15;
    }
    return pic;
}

} // namespace

bool IsMki(const uint8_t* data, size_t size) {
    return data && size >= 8 &&
           (std::memcmp(data, "MAKI01A ", 8) == 0 || std::memcmp(data, "MAKI01B ", 8) == 0);
}

Decoded DecodeMki(const uint8_t* data, size_t size) {
    if (!IsMki(data, size)) return {Status::Unsupported, {}};
    return Guarded([&] { return Decode(data, size); });
}

} // namespace tovn::imaging
