// The text block that opens PI and PIC files: any bytes up to 0x1A, then filler bytes up
// to a 0x00 that really ends it.
#pragma once
#include "imaging/picture.h"
#include <cstring>

namespace tovn::imaging {

// Offset of the first byte after the text block that starts at `from`.
inline size_t SkipHeaderText(const uint8_t* data, size_t size, size_t from) {
    if (from > size) throw BrokenData();
    const void* eof = std::memchr(data + from, 0x1A, size - from);
    if (!eof) throw BrokenData();
    size_t at = static_cast<size_t>(static_cast<const uint8_t*>(eof) - data) + 1;
    const void* end = std::memchr(data + at, 0x00, size - at);
    if (!end) throw BrokenData();
    return static_cast<size_t>(static_cast<const uint8_t*>(end) - data) + 1;
}

} // namespace tovn::imaging
