// BMP conversion: a BMP copy of each chosen picture beside it (in archive mode: into the
// open archive), then the list is read again.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tovn {

class BrowserPort;
class Picture;

// The menu command "BMP ｺﾝﾊﾞｰﾄ": the marked pictures, or the cursor picture. Run by the
// command table, which refuses it first on an empty list and in sort or capture mode and
// keeps the cursor band off around it.
void ConvertBMP1Click(BrowserPort& browser);

// Moves the named files of the work folder into the open archive with one command line
// ("m -c -n"). The work folder goes only once the archive holds every file (size and
// checksum); otherwise the archive is put back as it was, and the user is told where the
// files are.
void MoveIntoArchive(BrowserPort& browser, const std::vector<std::wstring>& names);

// A Windows BMP file of a loaded picture: palette pictures keep their colour table, the
// others are written with 24 bits per pixel. Empty when the picture holds no bitmap.
std::vector<uint8_t> BmpFileOf(const Picture& picture);

} // namespace tovn
