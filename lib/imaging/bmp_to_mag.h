// Turning a BMP file into a MAG file: palette pictures keep their indices exactly,
// true-colour ones are reduced to 256 colours first.
#pragma once
#include "imaging/picture.h"
#include <string>

namespace tovn::imaging {

// A BMP file as a picture: 1-, 4- and 8-bit ones as indices (16 colours when every index
// and the colour table fit), 16-, 24- and 32-bit ones as true colour.
// On failure returns false and says why in `error`.
bool PictureFromBmp(const uint8_t* data, size_t size, Picture* out, std::string* error);

struct MagResult {
    std::vector<uint8_t> file; // empty on failure
    std::string error;
};

MagResult BmpToMag(const uint8_t* data, size_t size);

} // namespace tovn::imaging
