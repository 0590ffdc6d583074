// BMP files and packed DIBs: validation of outside data and writing.
// Every size is checked against the bytes actually present, so a damaged or hostile file
// is refused instead of being read past its end or allocated absurdly.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tovn::bmp {

// What a validated DIB holds. Offsets are from the start of the buffer that was parsed.
struct DibLayout {
    int32_t width = 0;        // > 0
    int32_t height = 0;       // > 0 (absolute value of the header's height)
    bool topDown = false;     // the header's height was negative
    uint16_t bitCount = 0;    // 1, 4, 8, 16, 24 or 32
    uint32_t compression = 0; // BI_RGB (0), BI_RLE8 (1), BI_RLE4 (2) or BI_BITFIELDS (3)
    uint32_t colorCount = 0;  // entries in the colour table (0 for 16/24/32 bits without one)
    size_t infoOffset = 0;    // BITMAPINFOHEADER (or BITMAPCOREHEADER) start
    size_t infoSize = 0;      // header + masks + colour table, in bytes
    size_t bitsOffset = 0;    // first byte of the pixel data
    size_t bitsSize = 0;      // bytes of pixel data the picture needs (stride × height for BI_RGB)
    size_t stride = 0;        // bytes per row, a multiple of 4 (BI_RGB)
};

// A whole .BMP file image: BITMAPFILEHEADER ("BM"), info header, colour table, bits.
std::optional<DibLayout> ParseBmpFile(const uint8_t* data, size_t size);

// A packed BITMAPINFO (header + colour table) of infoSize bytes whose pixel data is a
// separate block of bitsSize bytes (as plug-ins return them). Offsets refer to the
// info block; bitsOffset is 0.
std::optional<DibLayout> ParseDibInfo(const uint8_t* info, size_t infoSize, size_t bitsSize);

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

// The colour table of a parsed file (3- or 4-byte entries), colorCount entries.
std::vector<Rgb> ColourTable(const uint8_t* data, const DibLayout& layout);

// A BMP file as one with plain pixels: an info header, uncompressed rows, bottom up.
// Run-length coded pictures keep their depth and colour table; 16- and 32-bit pictures with
// colour masks, and those whose alpha channel is in use, become 24 bits with the alpha
// composed over white. A channel is alpha when the masks name one (32 bits without masks:
// the top byte) and some pixel's value there is not zero. Other files come back unchanged;
// a file that is not a readable BMP comes back empty.
std::vector<uint8_t> PlainBmpFile(std::vector<uint8_t> file);
// A few bytes of runs can describe a picture of any size: the rows they expand to (row
// padding counted, which a narrow picture multiplies) are refused beyond this.
constexpr uint64_t kMaxRleRows = uint64_t{1} << 26;

// Writes an uncompressed bottom-up BMP file. bitCount 1, 4, 8 (palette of up to 2^bitCount
// entries) or 24 (no palette). rows: height rows of `stride` bytes, bottom row first.
std::vector<uint8_t> WriteBmpFile(int width, int height, int bitCount,
                                  const std::vector<Rgb>& palette, const uint8_t* rows,
                                  size_t stride);

} // namespace tovn::bmp
