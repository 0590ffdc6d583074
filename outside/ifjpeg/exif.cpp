#include "exif.h"
#include <cstring>

namespace tovn::jpeg {
namespace {

constexpr uint8_t kStartOfScan = 0xDA, kEndOfImage = 0xD9, kApp1 = 0xE1;
constexpr uint16_t kThumbnailOffset = 0x0201, kThumbnailLength = 0x0202;
constexpr uint16_t kShort = 3, kLong = 4;
constexpr size_t kEntrySize = 12;

// A TIFF structure in either byte order, every read checked against its end.
class Tiff {
public:
    Tiff(const uint8_t* p, size_t n) : p_(p), n_(n) {}

    bool Has(size_t at, size_t len) const { return at <= n_ && len <= n_ - at; }
    bool ReadHeader() {
        if (!Has(0, 8)) return false;
        if (p_[0] == 'M' && p_[1] == 'M') {
            big_ = true;
        } else if (p_[0] != 'I' || p_[1] != 'I') {
            return false;
        }
        return U16(2) == 42;
    }
    uint32_t U16(size_t at) const {
        return big_ ? uint32_t{p_[at]} << 8 | p_[at + 1] : uint32_t{p_[at + 1]} << 8 | p_[at];
    }
    uint32_t U32(size_t at) const {
        return big_ ? U16(at) << 16 | U16(at + 2) : U16(at + 2) << 16 | U16(at);
    }
    // The value of a one-number entry of an image directory (0 for other types).
    uint32_t Value(size_t entry) const {
        const uint32_t type = U16(entry + 2);
        return type == kShort ? U16(entry + 8) : type == kLong ? U32(entry + 8) : 0;
    }
    const uint8_t* At(size_t at) const { return p_ + at; }

private:
    const uint8_t* p_;
    size_t n_;
    bool big_ = false;
};

// Where the second image directory starts, or 0.
size_t SecondDirectory(const Tiff& t) {
    const size_t first = t.U32(4);
    if (!t.Has(first, 2)) return 0;
    const size_t next = first + 2 + kEntrySize * t.U16(first);
    return t.Has(next, 4) ? t.U32(next) : 0;
}

std::optional<Bytes> FromTiff(const uint8_t* p, size_t n) {
    Tiff t(p, n);
    if (!t.ReadHeader()) return std::nullopt;
    const size_t dir = SecondDirectory(t);
    if (dir == 0 || !t.Has(dir, 2)) return std::nullopt;
    const size_t count = t.U16(dir);
    if (!t.Has(dir + 2, kEntrySize * count)) return std::nullopt;
    uint32_t offset = 0, length = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t e = dir + 2 + kEntrySize * i;
        if (t.U16(e) == kThumbnailOffset) offset = t.Value(e);
        if (t.U16(e) == kThumbnailLength) length = t.Value(e);
    }
    if (offset == 0 || length == 0 || !t.Has(offset, length)) return std::nullopt;
    return Bytes{t.At(offset), length};
}

} // namespace

std::optional<Bytes> ExifThumbnail(const uint8_t* d, size_t n) {
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8) return std::nullopt;
    size_t at = 2;
    while (n - at >= 4) {
        if (d[at] != 0xFF) return std::nullopt;
        const uint8_t marker = d[at + 1];
        if (marker == 0xFF) { // fill byte before a marker
            ++at;
            continue;
        }
        // Metadata comes before the picture data.
        if (marker == kStartOfScan || marker == kEndOfImage) return std::nullopt;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { // markers without a length
            at += 2;
            continue;
        }
        const size_t length = size_t{d[at + 2]} << 8 | d[at + 3];
        if (length < 2 || length > n - at - 2) return std::nullopt;
        const uint8_t* body = d + at + 4;
        const size_t bodySize = length - 2;
        if (marker == kApp1 && bodySize >= 6 && std::memcmp(body, "Exif\0\0", 6) == 0)
            return FromTiff(body + 6, bodySize - 6);
        at += 2 + length;
    }
    return std::nullopt;
}

} // namespace tovn::jpeg
