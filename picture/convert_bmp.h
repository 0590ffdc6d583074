// A loaded picture as the bytes of a Windows BMP file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tovn {

class Picture;

// A Windows BMP file of a loaded picture: palette pictures keep their colour table, the
// others are written with 24 bits per pixel. Empty when the picture holds no bitmap.
std::vector<uint8_t> BmpFileOf(const Picture& picture);

} // namespace tovn
