// One decoder on an arbitrary stream: 3 bytes of original size, then the compressed data.
#include "lzh/decode.h"

#ifndef LZH_FUZZ_METHOD
#define LZH_FUZZ_METHOD "-lh5-"
#endif

namespace {
class NullSink : public lzh::Sink {
public:
    bool Write(const uint8_t*, size_t) override { return true; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    lzh::Member member;
    member.method = LZH_FUZZ_METHOD;
    member.original_size = data[0] | data[1] << 8 | data[2] << 16;
    member.data_offset = 3;
    member.packed_size = size - 3;
    lzh::MemorySource source(data, size);
    NullSink sink;
    lzh::DecodeMember(source, member, sink);
    return 0;
}
