// The loader's own reading of outside picture headers: a BMP file, or a plug-in's header
// block and bits size, rebuilt into the header GDI gets. The first byte picks the form.
#include <cstddef>
#include <cstdint>
#include "picture/dib_info.h"

namespace {

void Use(const tovn::dib::Header& h) {
    volatile uint32_t sum = 0;
    for (uint8_t b : h.block) sum = sum + b;
    for (int32_t i = 0; i < h.paletteEntries; ++i) sum = sum + tovn::dib::TableColour(h, i).r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    if (data[0] & 1) {
        if (auto h = tovn::dib::ParseBmp(data + 1, size - 1)) Use(*h);
        return 0;
    }
    // Blocks: the header block is the rest of the input; the bits block is only a size.
    const size_t bitsSize = size_t(data[1]) << 8 | data[2];
    if (auto h = tovn::dib::ParseBlocks(data + 3, size - 3, bitsSize << 4)) Use(*h);
    return 0;
}
