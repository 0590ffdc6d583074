// Arbitrary header and bits blocks: reading must never crash or read outside the blocks, and a
// picture that is read must reduce and write back with the sizes its header gives.
#include "quant/dib.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t infoSize = std::min(size - 2, size_t(data[0]) | size_t(data[1]) << 8);
    // Separate copies so that the sanitizer sees the end of each block.
    std::vector<uint8_t> info(data + 2, data + 2 + infoSize);
    std::vector<uint8_t> bits(data + 2 + infoSize, data + size);
    const auto picture = tovn::quant::ReadDib(info.data(), info.size(), bits.data(), bits.size());
    if (!picture) return 0;
    const size_t rows = size_t(picture->height);
    if (picture->pixels.size() != size_t(picture->width) * rows) abort();
    tovn::quant::Options options;
    options.dither = data[0] & 1;
    const auto result =
        tovn::quant::Quantize(picture->pixels.data(), picture->width, picture->height, options);
    const auto dib = tovn::quant::WriteDib8(picture->width, picture->height, result);
    if (dib.info.size() != 40 + 1024 ||
        dib.bits.size() != (size_t(picture->width) + 3) / 4 * 4 * rows)
        abort();
    return 0;
}
