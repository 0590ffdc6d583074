#include "imaging/area_reduce.h"
#include <cstdlib>
#include <vector>

// Sizes and pixels from the input: both ways of reducing stay inside their pictures and give
// the same pixels.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) return 0;
    const int fromW = data[0] % 64 + 1, fromH = data[1] % 64 + 1, toW = data[2] % 80 + 1,
              toH = data[3] % 80 + 1, padding = data[4] % 4;
    std::vector<uint32_t> from(static_cast<size_t>(fromW + padding) * fromH);
    for (size_t i = 0; i < from.size(); ++i) {
        const size_t at = 5 + 4 * i;
        for (size_t b = 0; b < 4; ++b)
            from[i] |= uint32_t{at + b < size ? data[at + b] : data[(at + b) % size]} << (8 * b);
    }
    std::vector<uint32_t> fast(static_cast<size_t>(toW) * toH), plain(fast.size());
    const tovn::imaging::PixelView view{from.data(), fromW, fromH, fromW + padding};
    tovn::imaging::AreaReduce(view, {fast.data(), toW, toH, toW});
    tovn::imaging::AreaReducePortable(view, {plain.data(), toW, toH, toW});
    if (fast != plain) std::abort();
    return 0;
}
