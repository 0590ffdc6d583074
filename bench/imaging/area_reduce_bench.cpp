// AreaReduce from decoded photo sizes into thumbnail cells: milliseconds per reduction with
// and without SIMD.
#include "imaging/area_reduce.h"
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

using namespace tovn::imaging;

namespace {

using Reduce = void (*)(PixelView, PixelSpan);

double Milliseconds(Reduce reduce, const std::vector<uint32_t>& from, int w, int h, int toW,
                    int toH) {
    std::vector<uint32_t> to(static_cast<size_t>(toW) * toH);
    const auto start = std::chrono::steady_clock::now();
    int runs = 0;
    double elapsed = 0;
    while (elapsed < 0.5 || runs < 3) {
        reduce({from.data(), w, h, w}, {to.data(), toW, toH, toW});
        ++runs;
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    return 1000 * elapsed / runs;
}

} // namespace

int main() {
    std::mt19937 rng(42);
    struct Case {
        int w, h, toW, toH;
    } cases[] = {{2000, 1500, 97, 67},
                 {2000, 1500, 256, 192},
                 {500, 375, 97, 67},
                 {250, 188, 97, 67},
                 {4000, 3000, 256, 192}};
    for (const Case& c : cases) {
        std::vector<uint32_t> from(static_cast<size_t>(c.w) * c.h);
        for (uint32_t& p : from) p = static_cast<uint32_t>(rng());
        std::printf("%5d x %-5d -> %3d x %-3d  simd %7.2f ms  portable %7.2f ms\n", c.w, c.h, c.toW,
                    c.toH, Milliseconds(AreaReduce, from, c.w, c.h, c.toW, c.toH),
                    Milliseconds(AreaReducePortable, from, c.w, c.h, c.toW, c.toH));
    }
    return 0;
}
