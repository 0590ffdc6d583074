#include "imaging/area_reduce.h"
#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tovn::imaging {
namespace {

// Which source pixels (rows or columns) make up each target pixel along one side, and with
// what integer weights. Reducing S to D, a source pixel is D/g units wide and a target pixel
// S/g (g their greatest common divisor), so the weights of each target sum to S/g exactly and
// the means stay exact. Enlarging, each target takes the one source pixel under its centre.
struct Axis {
    std::vector<size_t> begin; // target t's entries are [begin[t], begin[t + 1])
    std::vector<int> source;
    std::vector<uint32_t> weight;
    uint64_t total = 1;     // the sum of each target's weights
    uint32_t maxWeight = 1; // the largest single weight
};

Axis Plan(int from, int to) {
    Axis a;
    a.begin.reserve(static_cast<size_t>(to) + 1);
    a.begin.push_back(0);
    if (to > from) {
        for (int64_t t = 0; t < to; ++t) {
            a.source.push_back(static_cast<int>((2 * t + 1) * from / (2 * int64_t{to})));
            a.weight.push_back(1);
            a.begin.push_back(a.source.size());
        }
        return a;
    }
    const int64_t g = std::gcd(from, to), unit = to / g, span = from / g;
    a.total = static_cast<uint64_t>(span);
    a.maxWeight = static_cast<uint32_t>(unit);
    for (int64_t t = 0; t < to; ++t) {
        const int64_t lo = t * span, hi = lo + span;
        for (int64_t s = lo / unit; s * unit < hi; ++s) {
            a.source.push_back(static_cast<int>(s));
            a.weight.push_back(
                static_cast<uint32_t>(std::min(hi, (s + 1) * unit) - std::max(lo, s * unit)));
        }
        a.begin.push_back(a.source.size());
    }
    return a;
}

// acc[4x + c] += weight * byte c of pixel x, for one source row.
template <class Acc>
void AddRowPortable(const uint32_t* row, int width, uint32_t weight, Acc* acc) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(row);
    for (size_t i = 0; i < size_t{4} * static_cast<size_t>(width); ++i)
        acc[i] += static_cast<Acc>(weight) * bytes[i];
}

#if defined(__SSE2__)
// Eight 16-bit samples times a 16-bit weight, added to eight 32-bit sums.
inline void AddProducts(uint32_t* acc, __m128i samples, __m128i weight) {
    const __m128i lo = _mm_mullo_epi16(samples, weight), hi = _mm_mulhi_epu16(samples, weight);
    auto* a = reinterpret_cast<__m128i*>(acc);
    _mm_storeu_si128(a, _mm_add_epi32(_mm_loadu_si128(a), _mm_unpacklo_epi16(lo, hi)));
    _mm_storeu_si128(a + 1, _mm_add_epi32(_mm_loadu_si128(a + 1), _mm_unpackhi_epi16(lo, hi)));
}

// AddRowPortable four pixels at a time; the weight must fit 16 bits.
void AddRowSse2(const uint32_t* row, int width, uint32_t weight, uint32_t* acc) {
    const __m128i w = _mm_set1_epi16(static_cast<short>(weight)), zero = _mm_setzero_si128();
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        AddProducts(acc + 4 * x, _mm_unpacklo_epi8(p, zero), w);
        AddProducts(acc + 4 * x + 8, _mm_unpackhi_epi8(p, zero), w);
    }
    AddRowPortable(row + x, width - x, weight, acc + 4 * x);
}
#endif

// One target row from the weighted sums of its source rows: each target pixel sums its
// source columns and divides by all the weights, rounding to nearest.
template <class Acc>
void WriteRow(const Acc* acc, const Axis& across, uint64_t total, uint32_t* out, int width) {
    auto* bytes = reinterpret_cast<uint8_t*>(out);
    for (int t = 0; t < width; ++t, bytes += 4) {
        uint64_t sum[3] = {};
        for (size_t k = across.begin[t]; k < across.begin[t + 1]; ++k) {
            const Acc* p = acc + size_t{4} * static_cast<size_t>(across.source[k]);
            for (int c = 0; c < 3; ++c) sum[c] += uint64_t{across.weight[k]} * p[c];
        }
        for (int c = 0; c < 3; ++c) bytes[c] = static_cast<uint8_t>((sum[c] + total / 2) / total);
        bytes[3] = 0;
    }
}

template <class Acc, class AddRow>
void Resample(PixelView from, PixelSpan to, const Axis& across, const Axis& down, AddRow addRow) {
    std::vector<Acc> acc(size_t{4} * static_cast<size_t>(from.width));
    const uint64_t total = across.total * down.total;
    for (int t = 0; t < to.height; ++t) {
        std::fill(acc.begin(), acc.end(), Acc{0});
        for (size_t k = down.begin[t]; k < down.begin[t + 1]; ++k)
            addRow(from.pixels + static_cast<size_t>(down.source[k]) * from.stride, from.width,
                   down.weight[k], acc.data());
        WriteRow(acc.data(), across, total, to.pixels + static_cast<size_t>(t) * to.stride,
                 to.width);
    }
}

bool Empty(PixelView from, PixelSpan to) {
    return !from.pixels || !to.pixels || from.width <= 0 || from.height <= 0 || to.width <= 0 ||
           to.height <= 0;
}

void Run(PixelView from, PixelSpan to, bool simd) {
    if (Empty(from, to)) return;
    const Axis across = Plan(from.width, to.width), down = Plan(from.height, to.height);
#if defined(__SSE2__)
    // 32-bit sums hold 255 times a target's row weights; products need 16-bit weights.
    if (simd && down.maxWeight <= 0xFFFF && down.total <= UINT32_MAX / 255)
        return Resample<uint32_t>(from, to, across, down, AddRowSse2);
#endif
    (void)simd;
    Resample<uint64_t>(from, to, across, down, AddRowPortable<uint64_t>);
}

} // namespace

void AreaReduce(PixelView from, PixelSpan to) {
    Run(from, to, true);
}

void AreaReducePortable(PixelView from, PixelSpan to) {
    Run(from, to, false);
}

} // namespace tovn::imaging
