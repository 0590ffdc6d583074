// The picture header block the loader hands to GDI, rebuilt from outside data (a BMP file or
// the blocks a plug-in returned) so that GDI never reads past what was really there.
// Portable: no windows.h, so the parsing can be fuzzed natively.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>
#include "imaging/bmp.h"

namespace tovn::dib {

constexpr size_t kInfoHeaderSize = 40; // BITMAPINFOHEADER
constexpr int32_t kNoPalette = 257;    // PaletteEntries of a picture with more than 256 colours

// Colours of a picture with bitCount bits per pixel: 2^bitCount; 257 for 0 bits (unknown,
// taken as more than 256); capped at 2^24, since deeper pictures only need to count as more.
int32_t ColorCountFor(int bitCount);
// Size of the colour table that goes with a colour count: 2, 16, 256, or 257 for none.
int32_t PaletteEntriesFor(int32_t colorCount);

// A validated picture header rebuilt as the loader uses it: a 40-byte info header, then the
// bit-field masks (16/32 bits) or the colour table, zero-padded to
// 40 + 4 * PaletteEntries bytes.
struct Header {
    std::vector<uint8_t> block;
    bmp::DibLayout layout;
    int32_t colorCount = 0;     // from the header's bits per pixel
    int32_t paletteEntries = 0; // from colorCount
};

// Rebuilds the header described by layout (as parsed from `data`, `size` bytes). Refuses
// layouts GDI cannot make a section of (compressed pixels, old core headers) and colour
// tables larger than the block.
std::optional<Header> RebuildHeader(const uint8_t* data, size_t size, const bmp::DibLayout& layout);

// A whole BMP file: its layout and rebuilt header; the pixels are at layout.bitsOffset.
std::optional<Header> ParseBmp(const uint8_t* data, size_t size);
// A plug-in's header block and the size of its bits block.
std::optional<Header> ParseBlocks(const uint8_t* info, size_t infoSize, size_t bitsSize);

// Red, green, blue of colour-table entry i of a rebuilt header (zero beyond the table).
struct Colour {
    uint8_t r = 0, g = 0, b = 0;
};
Colour TableColour(const Header& header, int32_t i);

// The pixels of an uncompressed picture of 1, 4, 8, 24 or 32 bits into out (width x height)
// as 32-bit B G R X, top row first, an indexed pixel taking its colour-table entry: what GDI
// gives when such a picture is read back at 32 bits. False for other layouts (16 bits, bit
// fields) and for bits shorter than the rows need.
bool ToPixels(const Header& header, const uint8_t* bits, size_t bitsSize, uint32_t* out);

} // namespace tovn::dib
