// MKI pictures (MAKI01A and MAKI01B): 16 colours, normally a whole 640 x 400 screen.
#pragma once
#include "imaging/picture.h"

namespace tovn::imaging {

bool IsMki(const uint8_t* data, size_t size);
Decoded DecodeMki(const uint8_t* data, size_t size);

} // namespace tovn::imaging
