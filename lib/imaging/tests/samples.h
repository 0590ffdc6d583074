// The sample pictures of testdata/pictures and the pixels they must decode to.
#pragma once
#include "imaging/picture.h"
#include <fstream>
#include <iterator>
#include <string>

namespace tovn::imaging::samples {

inline std::vector<uint8_t> Load(const std::string& relative) {
    std::ifstream f(std::string(TOVN_TESTDATA_DIR) + "/pictures/" + relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

struct Expected {
    const char* file;
    int left, top, width, height, bitsPerPixel;
    int (*pixel)(int x, int y); // palette index, or 0xRRGGBB for 24 bits
    Rgb (*color)(int i);        // palette entry i
};

inline uint8_t N(int v) {
    return static_cast<uint8_t>(0x11 * (v & 15));
}
inline uint8_t B(int v) {
    return static_cast<uint8_t>(v & 255);
}

// Colour words GGGGGRRRRRBBBBB with each 5-bit component widened by replicating its top bits.
inline int X68k(int word) {
    auto widen = [](int v) { return v << 3 | v >> 2; };
    return widen(word >> 5 & 31) << 16 | widen(word >> 10 & 31) << 8 | widen(word & 31);
}

inline const Expected kAll[] = {
    {"mag/S16FULL.MAG", 0, 0, 16, 4, 4,
     [](int x, int y) {
         if (y < 2) return (x & 3) + (x >= 8 ? 4 : 0);
         return y == 2 ? 8 + (x & 7) : x & 3;
     },
     [](int i) {
         return Rgb{N(15 - i), N(i), N(7 * i)};
     }},
    {"mag/S16PART.MAG", 4, 10, 8, 2, 4, [](int x, int y) { return (x + 4 + y + 10) % 16; },
     [](int i) {
         return Rgb{N(15 - i), N(i), N(7 * i)};
     }},
    {"mag/S256FULL.MAG", 0, 0, 8, 2, 8,
     [](int x, int) {
         const int row[] = {1, 2, 3, 4, 1, 2, 200, 201};
         return row[x];
     },
     [](int i) {
         return Rgb{B(37 * i), B(91 * i), B(53 * i)};
     }},
    {"mag/S256PART.MAG", 6, 0, 8, 2, 8, [](int x, int y) { return 10 + x + 6 + y; },
     [](int i) {
         return Rgb{B(37 * i), B(91 * i), B(53 * i)};
     }},
    {"pi/S16.PI", 0, 0, 8, 4, 4,
     [](int x, int y) {
         const int rows[4][8] = {{1, 1, 2, 2, 3, 3, 4, 4},
                                 {1, 1, 2, 2, 3, 3, 4, 4},
                                 {5, 6, 5, 6, 5, 6, 7, 7},
                                 {1, 1, 2, 2, 3, 3, 4, 4}};
         return rows[y][x];
     },
     [](int i) {
         return Rgb{N(i), N(5 * i), N(15 - i)};
     }},
    {"pic/S15.PIC", 0, 0, 4, 3, 24,
     [](int x, int y) {
         const int rows[3][4] = {{0x0000, 0x03E0, 0x03E0, 0x7C00},
                                 {0x03E0, 0x03E0, 0x7C00, 0x7C00},
                                 {0x001F, 0x03E0, 0x7C00, 0x7FFF}};
         return X68k(rows[y][x]);
     },
     nullptr},
    {"mki/SA640.MKI", 0, 0, 640, 400, 4,
     [](int x, int y) {
         struct Dot {
             int x, y, v;
         };
         const Dot dots[] = {{0, 0, 5},  {1, 0, 3}, {10, 2, 7},
                             {11, 2, 7}, {5, 6, 9}, {639, 399, 15}};
         for (const Dot& d : dots)
             if (d.x == x && d.y == y) return d.v;
         return 0;
     },
     [](int i) {
         return Rgb{N(i), N(3 * i), N(15 - i)};
     }},
};

inline const Expected& SB640() {
    static const Expected e = [] {
        Expected x = kAll[6];
        x.file = "mki/SB640.MKI";
        return x;
    }();
    return e;
}

} // namespace tovn::imaging::samples
