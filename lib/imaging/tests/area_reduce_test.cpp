#include "imaging/area_reduce.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

using namespace tovn::imaging;

namespace {

struct Image {
    int width, height, stride;
    std::vector<uint32_t> pixels;

    Image(int w, int h, int padding = 0, uint32_t fill = 0)
        : width(w), height(h), stride(w + padding),
          pixels(static_cast<size_t>(stride) * static_cast<size_t>(std::max(h, 0)), fill) {}
    PixelView View() const { return {pixels.data(), width, height, stride}; }
    PixelSpan Span() { return {pixels.data(), width, height, stride}; }
    uint8_t Byte(int x, int y, int c) const {
        return static_cast<uint8_t>(pixels[static_cast<size_t>(y) * stride + x] >> (8 * c));
    }
};

Image Noise(int w, int h, int padding, unsigned seed) {
    Image img(w, h, padding);
    std::mt19937 random(seed);
    for (uint32_t& p : img.pixels) p = static_cast<uint32_t>(random());
    return img;
}

// Straight from the definition, in floating point: the source span [t*S/D, (t+1)*S/D) of each
// target pixel, each source pixel weighted by how much of it lies inside; when enlarging, the
// one source pixel under the target's centre.
struct Span1 {
    int first, last;
    double lo, hi;
};
Span1 Covered(int t, int from, int to) {
    if (to > from) {
        int s = static_cast<int>(std::floor((t + 0.5) * from / to));
        return {s, s, static_cast<double>(s), s + 1.0};
    }
    double lo = static_cast<double>(t) * from / to, hi = static_cast<double>(t + 1) * from / to;
    return {static_cast<int>(std::floor(lo)), static_cast<int>(std::ceil(hi)) - 1, lo, hi};
}
double Inside(int s, const Span1& span) {
    return std::min(s + 1.0, span.hi) - std::max(static_cast<double>(s), span.lo);
}

uint8_t Reference(const Image& src, int tx, int ty, int w, int h, int c) {
    const Span1 sx = Covered(tx, src.width, w), sy = Covered(ty, src.height, h);
    double sum = 0, area = 0;
    for (int y = sy.first; y <= sy.last; ++y)
        for (int x = sx.first; x <= sx.last; ++x) {
            const double a = Inside(x, sx) * Inside(y, sy);
            sum += a * src.Byte(x, y, c);
            area += a;
        }
    return static_cast<uint8_t>(std::floor(sum / area + 0.5));
}

constexpr uint32_t kUntouched = 0xA5A5A5A5;

// Both ways of reducing agree exactly, stay within 1 of the reference, zero the 4th byte and
// leave the padding of the target's rows alone.
void Check(const Image& src, int w, int h) {
    Image fast(w, h, 3, kUntouched), plain(w, h, 3, kUntouched);
    AreaReduce(src.View(), fast.Span());
    AreaReducePortable(src.View(), plain.Span());
    ASSERT_EQ(fast.pixels, plain.pixels);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(fast.Byte(x, y, c), Reference(src, x, y, w, h, c), 1)
                    << x << "," << y << " channel " << c;
            ASSERT_EQ(fast.Byte(x, y, 3), 0);
        }
        for (int x = w; x < fast.stride; ++x)
            ASSERT_EQ(fast.pixels[static_cast<size_t>(y) * fast.stride + x], kUntouched);
    }
}

} // namespace

TEST(AreaReduce, MatchesABoxFilterReference) {
    struct Case {
        int fromW, fromH, padding, toW, toH;
    } cases[] = {
        {64, 48, 0, 16, 12},   // whole factors
        {97, 67, 5, 13, 11},   // odd sizes, fractional edges both ways
        {200, 150, 7, 97, 67}, // a photo into a cell
        {1, 1, 0, 1, 1},       {1, 50, 2, 1, 7},
        {50, 1, 0, 9, 1},      {33, 17, 1, 1, 1}, // everything into one pixel
        {7, 5, 0, 7, 5},                          // the same size: a copy
        {5, 4, 2, 13, 9},                         // enlarging both ways
        {40, 3, 0, 11, 8},                        // reducing across, enlarging down
        {3, 40, 4, 8, 11},                        // and the other way round
        {19, 23, 0, 18, 22},                      // just below the same size
    };
    unsigned seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fromW << "x" << c.fromH << " -> " << c.toW << "x"
                                        << c.toH << " padding " << c.padding);
        Check(Noise(c.fromW, c.fromH, c.padding, seed++), c.toW, c.toH);
    }
}

// Weights past 16 bits leave the SIMD path; the result must not change.
TEST(AreaReduce, TallColumnsWithLargeWeights) {
    Check(Noise(1, 140000, 0, 7), 1, 70001);
    Check(Noise(2, 70001, 1, 8), 1, 3);
}

TEST(AreaReduce, ExactMeansAndRounding) {
    // Four pixels into one: B 0,0,0,2 -> 0.5 rounds up; G 1,2,3,4 -> 2.5 -> 3; R all 255.
    Image src(2, 2);
    src.pixels = {0xFF0100, 0xFF0200, 0xFF0300, 0xFF0402};
    Image out(1, 1, 0, kUntouched);
    AreaReduce(src.View(), out.Span());
    EXPECT_EQ(out.pixels[0], 0x00FF0301u);
    // Three into two: the middle pixel is split half and half.
    Image row(3, 1);
    row.pixels = {0x000000, 0x000090, 0x0000FF};
    Image two(2, 1);
    AreaReduce(row.View(), two.Span());
    EXPECT_EQ(two.pixels[0], 0x30u); // (2 * 0 + 0x90) / 3
    EXPECT_EQ(two.pixels[1], 0xDAu); // (0x90 + 2 * 0xFF) / 3
}

TEST(AreaReduce, NothingHappensForEmptySizes) {
    Image src = Noise(4, 4, 0, 3);
    Image out(2, 2, 0, kUntouched);
    for (PixelView from : {PixelView{src.pixels.data(), 0, 4, 4},
                           PixelView{src.pixels.data(), 4, -1, 4}, PixelView{nullptr, 4, 4, 4}})
        AreaReduce(from, out.Span());
    AreaReduce(src.View(), PixelSpan{out.pixels.data(), 0, 2, 2});
    AreaReduce(src.View(), PixelSpan{out.pixels.data(), 2, 0, 2});
    for (uint32_t p : out.pixels) EXPECT_EQ(p, kUntouched);
}
