// Linked into fuzz targets whose code must keep its memory bounded whatever the input says:
// any single allocation above the bound stops the run as a crash, where a plain run would
// only grow slow or end in std::bad_alloc once the machine's memory is gone. The inputs of
// a run are at most 64 KiB, and no parser needs a block this large for them.
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t kBound = std::size_t{64} << 20;

void* Allocate(std::size_t size) {
    if (size > kBound) {
        std::fprintf(stderr, "allocation of %zu bytes exceeds the bound\n", size);
        std::abort();
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
