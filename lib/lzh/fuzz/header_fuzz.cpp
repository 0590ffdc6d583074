// Lists an arbitrary archive and extracts every member it finds (MacBinary forks too). The
// headers may state any sizes: whatever they claim, no member delivers more bytes than its
// stated original size, one that reports success or only a CRC mismatch delivers exactly
// that many (a MacBinary member only its data fork), a directory delivers nothing whatever
// sizes its header states, and memory stays bounded (allocation_bound.cpp).
#include "lzh/archive.h"
#include <cstdlib>

namespace {
class CountingSink : public lzh::Sink {
public:
    bool Write(const uint8_t*, size_t size) override {
        total += size;
        return total < (1u << 24); // stop members that expand far, to keep runs quick
    }
    uint64_t total = 0;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lzh::MemorySource source(data, size);
    lzh::Listing listing = lzh::ListArchive(source);
    for (const lzh::Member& m : listing.members) {
        CountingSink sink;
        const lzh::Status status = lzh::ExtractMember(source, m, sink);
        if (sink.total > m.original_size) std::abort();
        if (m.IsDirectory()) {
            if (sink.total != 0) std::abort();
            continue;
        }
        const bool whole = status == lzh::Status::kOk || status == lzh::Status::kBadCrc;
        if (whole && m.os_id != 'm' && sink.total != m.original_size) std::abort();
    }
    return 0;
}
