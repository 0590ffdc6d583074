// What the MAG decoder and encoder share: the copy table and the unit grid.
#pragma once
#include <cstdint>

namespace tovn::imaging::mag {

// Where a flag nibble copies its unit from: dx units to the left, dy lines up.
struct CopyFrom {
    int dx, dy;
};
constexpr CopyFrom kCopy[16] = {{0, 0}, {1, 0}, {2, 0}, {4, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2},
                                {2, 2}, {0, 4}, {1, 4}, {2, 4}, {0, 8}, {1, 8}, {2, 8}, {0, 16}};

constexpr size_t kHeaderSize = 32;
constexpr uint8_t kMode256 = 0x80;
constexpr uint8_t kModeTall = 0x01;

// The stored columns cover whole flag bytes: 8 pixels in 16 colours, 4 in 256 colours.
struct Grid {
    int first;         // first stored column
    int units;         // units per line (even)
    int pixelsPerUnit; // 4 or 2
};
inline Grid MakeGrid(int startX, int endX, bool is256) {
    int align = is256 ? 4 : 8;
    int first = startX & ~(align - 1);
    int last = endX | (align - 1);
    int perUnit = is256 ? 2 : 4;
    return {first, (last - first + 1) / perUnit, perUnit};
}

} // namespace tovn::imaging::mag
