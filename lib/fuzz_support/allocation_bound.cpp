// Linked into fuzz targets whose code must keep its memory bounded whatever the input says:
// any single allocation above the bound stops the run as a crash, where a plain run would
// only grow slow or end in std::bad_alloc once the machine's memory is gone. The inputs of
// a run are at most 64 KiB, and no parser needs a block this large for them.
#include <sanitizer/allocator_interface.h>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr size_t kBound = size_t{64} << 20;

void OnAllocation(const volatile void*, size_t size) {
    if (size <= kBound) return;
    std::fprintf(stderr, "allocation of %zu bytes exceeds the bound\n", size);
    std::abort();
}

void OnFree(const volatile void*) {}

const int installed = __sanitizer_install_malloc_and_free_hooks(OnAllocation, OnFree);

} // namespace
