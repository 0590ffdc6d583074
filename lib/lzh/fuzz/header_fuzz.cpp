// Lists an arbitrary archive and extracts every member it finds (MacBinary forks too).
#include "lzh/archive.h"

namespace {
class CountingSink : public lzh::Sink {
public:
    bool Write(const uint8_t*, size_t size) override {
        total_ += size;
        return total_ < (1u << 24); // stop members that expand without bound
    }

private:
    size_t total_ = 0;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lzh::MemorySource source(data, size);
    lzh::Listing listing = lzh::ListArchive(source);
    for (const lzh::Member& m : listing.members) {
        CountingSink sink;
        lzh::ExtractMember(source, m, sink);
    }
    return 0;
}
