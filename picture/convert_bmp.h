// BMP conversion: a BMP copy of each chosen picture beside it (in archive mode: into the
// open archive), then the list is read again.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tovn {

class BrowserPort;
class Picture;

// The menu command "BMP ｺﾝﾊﾞｰﾄ": the marked pictures, or the cursor picture.
void ConvertBMP1Click(BrowserPort& browser);

// A Windows BMP file of a loaded picture: palette pictures keep their colour table, the
// others are written with 24 bits per pixel. Empty when the picture holds no bitmap.
std::vector<uint8_t> BmpFileOf(const Picture& picture);

} // namespace tovn
