// Random small pictures and options: the quantiser must never crash, and every index must
// name a palette entry within the limit.
#include "quant/quant.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    tovn::quant::Options options;
    options.level = data[0] % 10;
    options.dither = data[1] & 1;
    options.maxColors = data[2] + 1 - (data[1] >> 1 & 1) * 2; // 255 at most, sometimes below 2
    const int width = data[3] % 64 + 1;
    const size_t colorBytes = size - 4;
    const int height = int(colorBytes / 3 / size_t(width));
    std::vector<tovn::quant::Rgb> pixels(size_t(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = {data[4 + 3 * i], data[5 + 3 * i], data[6 + 3 * i]};
    const tovn::quant::Result r = tovn::quant::Quantize(pixels.data(), width, height, options);
    if (height == 0) {
        if (!r.indices.empty() || !r.palette.empty()) abort();
        return 0;
    }
    const size_t limit = size_t(options.maxColors < 2 ? 2 : options.maxColors);
    if (r.indices.size() != pixels.size() || r.palette.empty() || r.palette.size() > limit) abort();
    for (uint8_t i : r.indices)
        if (i >= r.palette.size()) abort();
    return 0;
}
