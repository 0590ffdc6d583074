// Pi pictures: 16 or 256 colours, colour and position codes over the pixels in reading order.
#pragma once
#include "imaging/picture.h"

namespace tovn::imaging {

bool IsPi(const uint8_t* data, size_t size);
// Stronger test for picking files: the signature, a complete text block and a known depth.
bool LooksLikePi(const uint8_t* data, size_t size);
Decoded DecodePi(const uint8_t* data, size_t size);

} // namespace tovn::imaging
