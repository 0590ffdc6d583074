// Device-independent bitmaps as the colour reducer receives and returns them: a header block
// (BITMAPINFOHEADER, masks, colour table) and a separate block of pixel rows.
#pragma once
#include "quant/quant.h"

#include <cstddef>
#include <optional>

namespace tovn::quant {

struct DibPicture {
    int width = 0;
    int height = 0;          // rows, whichever order the header gave them in
    std::vector<Rgb> pixels; // width × height, top row first
};

// Reads an uncompressed DIB of 1, 2, 4, 8, 16, 24 or 32 bits per pixel (BI_RGB, or
// BI_BITFIELDS at 16 and 32 bits). Every size is checked against the blocks given; anything
// that cannot be read safely is refused. Colour-table entries missing from a short header
// block read as black.
std::optional<DibPicture> ReadDib(const uint8_t* info, size_t infoSize, const uint8_t* bits,
                                  size_t bitsSize);

struct DibBlocks {
    std::vector<uint8_t> info; // 40-byte header and a full 256-entry colour table
    std::vector<uint8_t> bits; // rows padded to 4 bytes, bottom row first
};

// A bottom-up 8-bit DIB (positive height, as most readers expect) of a reduced picture whose
// result.indices run top row first. Empty blocks when they are not width × height.
DibBlocks WriteDib8(int width, int height, const Result& result);

} // namespace tovn::quant
