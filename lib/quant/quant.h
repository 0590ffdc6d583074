// Colour reduction of a true-colour picture to at most 256 colours.
#pragma once
#include <cstdint>
#include <vector>

namespace tovn::quant {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

struct Options {
    int level = 4;       // 4, 6 or 8: the speed/quality choice (documented in quant.cpp)
    bool dither = false; // error diffusion when mapping pixels to the palette
    int maxColors = 256; // 2..256
};

struct Result {
    std::vector<Rgb> palette;     // at most maxColors entries
    std::vector<uint8_t> indices; // width × height, row-major, top row first
};

// pixels: width × height RGB values, row-major, top row first.
Result Quantize(const Rgb* pixels, int width, int height, const Options& options);

// The error a reduction leaves: the mean over the pixels of the squared RGB distance from
// each pixel to its palette colour. pixels as given to Quantize (result.indices.size() of
// them); 0 for an empty result.
double MeanSquaredError(const Rgb* pixels, const Result& result);

} // namespace tovn::quant
