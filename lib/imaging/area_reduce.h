// Area-averaging resampling of 32-bit pixels: what a thumbnail cell shows of a decoded picture.
#pragma once
#include <cstdint>

namespace tovn::imaging {

// 32-bit pixels as in a 32-bit top-down DIB section: bytes B, G, R, X; stride in pixels.
struct PixelView {
    const uint32_t* pixels;
    int width;
    int height;
    int stride;
};
struct PixelSpan {
    uint32_t* pixels;
    int width;
    int height;
    int stride;
};

// Resamples from into to: each target pixel is the area-weighted mean of the source area it
// covers (a box filter with fractional edge weights), channel by channel, rounded; the 4th
// byte is written 0. Enlarging (a side of to larger than from's) repeats source pixels as a
// nearest-neighbour stretch does. Sizes <= 0 do nothing.
void AreaReduce(PixelView from, PixelSpan to);

// The same without SIMD; the results are identical. For tests and measurements.
void AreaReducePortable(PixelView from, PixelSpan to);

} // namespace tovn::imaging
