// X68000 PIC pictures: run lengths between colour changes, with changes chained downwards.
// 15- and 16-bit pictures decode to 24 bits; 4- and 8-bit ones keep their palette.
#pragma once
#include "imaging/picture.h"

namespace tovn::imaging {

bool IsPic(const uint8_t* data, size_t size);
// Stronger test for picking files: the signature and a complete text block.
bool LooksLikePic(const uint8_t* data, size_t size);
Decoded DecodePic(const uint8_t* data, size_t size);

} // namespace tovn::imaging
