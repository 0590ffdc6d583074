// MAG pictures (MAKI02): 16 or 256 colours, a rectangle of a screen.
// The decoded picture is cropped to the saved rectangle: left/top are its start X/Y and
// width/height its size; the alignment padding of the stored data is dropped.
#pragma once
#include "imaging/picture.h"

namespace tovn::imaging {

// True when the bytes start with the MAG signature.
bool IsMag(const uint8_t* data, size_t size);

Decoded DecodeMag(const uint8_t* data, size_t size);

// Encodes a 4- or 8-bit picture at its left/top (each 0..65535 with the far edge too).
// Returns an empty vector for a picture it cannot store.
std::vector<uint8_t> EncodeMag(const Picture& picture);

} // namespace tovn::imaging
