// The pictures of one benchmark page: the kinds a user files side by side (PC-98 screens as
// MAG in 16 and 256 colours, scanned photographs as 24-bit and 8-bit BMPs), made in memory.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tovn::bench {

enum class PictureKind { Mag16, Mag256, Bmp24, Bmp8 };

struct PictureFile {
    std::string name; // unique on the page; the extension matches the kind
    PictureKind kind;
    int width, height;
    std::vector<uint8_t> bytes;
};

// Encodes one picture of the kind: MAG screens are 640 x 400, BMP photographs 800 x 600
// (24-bit) and 640 x 480 (8-bit, a 6x6x6 colour cube). Same seed, same bytes.
PictureFile MakePictureFile(PictureKind kind, int number, uint32_t seed);

// count pictures cycling through the kinds, so any page holds a quarter of each.
std::vector<PictureFile> MakePage(int count, uint32_t seed);

} // namespace tovn::bench
