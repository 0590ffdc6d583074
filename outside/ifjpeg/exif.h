// The thumbnail cameras embed in a JPEG's Exif block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

namespace tovn::jpeg {

struct Bytes {
    const uint8_t* data;
    size_t size;
};

// The embedded JPEG thumbnail (the second image directory's JPEG data) of a JPEG file, as a
// slice of it; nothing where there is none or the block's offsets lead outside it.
std::optional<Bytes> ExifThumbnail(const uint8_t* data, size_t size);

} // namespace tovn::jpeg
