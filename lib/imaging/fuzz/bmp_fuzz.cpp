#include "imaging/bmp.h"
#include <cstring>

// Every layout the parser accepts must lie inside the input, and every plain form made of
// it must be a plain file of bounded size.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (auto d = tovn::bmp::ParseBmpFile(data, size)) {
        if (d->infoOffset + d->infoSize > d->bitsOffset || d->bitsOffset + d->bitsSize > size)
            __builtin_trap();
        const std::vector<uint8_t> plain = tovn::bmp::PlainBmpFile({data, data + size});
        // Run-length rows up to their bound, a colour table and headers; masked pixels grow
        // from 16 to 24 bits at most.
        if (plain.size() > 2 * size + tovn::bmp::kMaxRleRows + 4096) __builtin_trap();
        if (!plain.empty()) {
            auto p = tovn::bmp::ParseBmpFile(plain.data(), plain.size());
            if (!p || p->compression != 0 || p->width != d->width || p->height != d->height)
                __builtin_trap();
        }
    }
    if (size >= 4) {
        size_t split = data[0] % (size - 3) + 1;
        if (auto d = tovn::bmp::ParseDibInfo(data + 1, split, size - 1 - split)) {
            if (d->infoSize > split || d->bitsSize > size - 1 - split) __builtin_trap();
        }
    }
    return 0;
}
