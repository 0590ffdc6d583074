// JPEG pictures through libjpeg-turbo: whole, described, or reduced in the decoder itself.
#pragma once
#include "imaging/picture.h"
#include <cstddef>
#include <cstdint>

namespace tovn::jpeg {

bool LooksLikeJpeg(const uint8_t* data, size_t size);

// The whole picture as 24-bit true colour (grey and CMYK pictures converted). The
// orientation a camera records beside the picture is not applied.
imaging::Decoded Decode(const uint8_t* data, size_t size);
// Size and depth only.
imaging::Decoded Describe(const uint8_t* data, size_t size);
// The smallest picture the decoder can give at 1/8 .. 8/8 of the size whose longer side is
// still at least `side` (the whole picture when even that is smaller). A camera's embedded
// thumbnail is taken instead where it serves (ThumbnailServes).
imaging::Decoded DecodeReduced(const uint8_t* data, size_t size, int side);

// The eighths (1..8) DecodeReduced decodes a width x height picture at for `side`: the
// smallest whose longer side, rounded up as the decoder rounds it, reaches `side`.
int ScaleEighths(int width, int height, int side);

// Whether a thumbnail can stand for a width x height picture at `side`: its longer side at
// least `side`, and of the picture's shape to within a pixel of rounding.
bool ThumbnailServes(int thumbWidth, int thumbHeight, int width, int height, int side);

} // namespace tovn::jpeg
