// A decoded picture as the two blocks a Windows host draws: header with colour table, and
// bottom-up rows padded to 4 bytes.
#pragma once
#include "imaging/picture.h"

namespace tovn::imaging {

// BITMAPINFOHEADER (40 bytes) followed by the palette as B, G, R, 0 entries.
std::vector<uint8_t> DibInfo(const Picture& picture);

// Pixel rows, bottom row first: 4 bits (left pixel in the high nibble), 8 bits, or B, G, R.
std::vector<uint8_t> DibBits(const Picture& picture);

} // namespace tovn::imaging
