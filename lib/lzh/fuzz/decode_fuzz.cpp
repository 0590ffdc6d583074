// One decoder on an arbitrary stream. Input:
//   bytes 0-2  the member's original size (little-endian)
//   byte 3     the compressed bytes stand 1 + (byte & 3) times in a row, so that the stream
//              outgrows the reader's 64 KiB buffer and is reloaded in the middle of a block
//   byte 4     a signed count of KiB by which the stated packed size differs from the bytes
//              there are: the archive header may claim more data than the file holds, or less
//   rest       the compressed bytes
// Whatever the stream, the decoder delivers at most the original size, exactly that when it
// reports success or only a CRC mismatch, and keeps its memory bounded (allocation_bound.cpp).
#include "lzh/decode.h"
#include <algorithm>
#include <cstdlib>

#ifndef LZH_FUZZ_METHOD
#define LZH_FUZZ_METHOD "-lh5-"
#endif

namespace {

constexpr size_t kPrefix = 5;

// The compressed bytes, repeated.
class RepeatedSource : public lzh::Source {
public:
    RepeatedSource(const uint8_t* data, size_t size, int copies)
        : data_(data), size_(size), total_(uint64_t(size) * copies) {}
    uint64_t Size() const override { return kPrefix + total_; }
    size_t Read(uint64_t offset, uint8_t* out, size_t size) override {
        size_t done = 0;
        for (uint64_t at = offset - kPrefix; done < size && at < total_;
             at = offset - kPrefix + done) {
            const size_t from = static_cast<size_t>(at % size_);
            const size_t n = std::min(size - done, size_ - from);
            std::copy(data_ + from, data_ + from + n, out + done);
            done += n;
        }
        return done;
    }

private:
    const uint8_t* data_;
    size_t size_;
    uint64_t total_;
};

class CountingSink : public lzh::Sink {
public:
    bool Write(const uint8_t*, size_t size) override {
        total += size;
        return true;
    }
    uint64_t total = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size <= kPrefix) return 0;
    const int copies = 1 + (data[3] & 3);
    RepeatedSource source(data + kPrefix, size - kPrefix, copies);
    lzh::Member member;
    member.method = LZH_FUZZ_METHOD;
    member.original_size = data[0] | data[1] << 8 | data[2] << 16;
    member.data_offset = kPrefix;
    const int64_t stated = int64_t(source.Size() - kPrefix) + int64_t(int8_t(data[4])) * 1024;
    member.packed_size = uint64_t(std::max<int64_t>(stated, 0));
    CountingSink sink;
    const lzh::Status status = lzh::DecodeMember(source, member, sink);
    if (sink.total > member.original_size) std::abort();
    const bool whole = status == lzh::Status::kOk || status == lzh::Status::kBadCrc;
    if (whole && sink.total != member.original_size) std::abort();
    return 0;
}
