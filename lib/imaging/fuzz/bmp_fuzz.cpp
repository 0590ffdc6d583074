#include "imaging/bmp.h"
#include <cstring>

// Every layout the parser accepts must lie inside the input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (auto d = tovn::bmp::ParseBmpFile(data, size)) {
        if (d->infoOffset + d->infoSize > d->bitsOffset || d->bitsOffset + d->bitsSize > size)
            __builtin_trap();
    }
    if (size >= 4) {
        size_t split = data[0] % (size - 3) + 1;
        if (auto d = tovn::bmp::ParseDibInfo(data + 1, split, size - 1 - split)) {
            if (d->infoSize > split || d->bitsSize > size - 1 - split) __builtin_trap();
        }
    }
    return 0;
}
