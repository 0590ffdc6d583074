// Ordinary pictures (PNG, JPEG, GIF, TIFF, ICO) through the Windows Imaging Component.
#pragma once
#include "imaging/picture.h"

namespace tovn::susie {

// True for the signatures of the formats above.
bool LooksLikeWicPicture(const uint8_t* data, size_t size);

// Palette pictures come back as 4- or 8-bit indices with their palette; everything else as
// 24 bits, with any transparency laid over white.
imaging::Decoded DecodeWithWic(const uint8_t* data, size_t size);

// Size and depth only, without decoding the pixels.
imaging::Decoded DescribeWithWic(const uint8_t* data, size_t size);

// A preview whose longer side is at least `side`: a frame scaled by WIC's decoder for the
// format where that decoder can scale, else the whole picture as DecodeWithWic gives it.
imaging::Decoded PreviewWithWic(const uint8_t* data, size_t size, int side);

} // namespace tovn::susie
