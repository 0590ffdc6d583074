// Bounds-checked readers over outside data: running past the end throws BrokenData,
// so no decoder can read beyond its input or loop on an exhausted stream.
#pragma once
#include "imaging/picture.h"
#include <cstddef>
#include <cstdint>

namespace tovn::imaging {

// Bytes in file order, inside each byte bit 7 first.
class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t Bit() {
        if (pos_ >= size_ * 8) throw BrokenData();
        uint32_t b = (data_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1;
        ++pos_;
        return b;
    }
    uint32_t Bits(int n) {
        uint32_t v = 0;
        while (n-- > 0) v = v << 1 | Bit();
        return v;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() {
        if (pos_ >= size_) throw BrokenData();
        return data_[pos_++];
    }
    const uint8_t* Take(size_t n) {
        if (n > size_ - pos_) throw BrokenData();
        const uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }
    size_t Pos() const { return pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

} // namespace tovn::imaging
