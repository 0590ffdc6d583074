#include "quant/quant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>

using tovn::quant::Options;
using tovn::quant::Quantize;
using tovn::quant::Result;
using tovn::quant::Rgb;

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
};

uint8_t Clamp(int v) {
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

// Smooth gradients, a hard edge and noise: many thousands of distinct colours.
Picture Photo(int width, int height, uint32_t seed = 1) {
    Picture p{width, height, std::vector<Rgb>(size_t(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = int(seed >> 28) - 8;
            const bool edge = x > width / 2 && y < height / 2;
            p.pixels[size_t(y) * width + x] = {Clamp(x * 255 / width + noise),
                                               Clamp((edge ? 200 : y * 255 / height) + noise),
                                               Clamp((x + y) * 128 / (width + height) + noise)};
        }
    return p;
}

// A picture whose colours are the first `count` of a fixed scattered sequence.
Picture FewColors(int width, int height, int count) {
    Picture p{width, height, std::vector<Rgb>(size_t(width) * height)};
    for (size_t i = 0; i < p.pixels.size(); ++i) {
        const int k = int(i % size_t(count));
        p.pixels[i] = {uint8_t(k * 37), uint8_t(k * 91 + 3), uint8_t(k * 13 + k / 7)};
    }
    return p;
}

Result Reduce(const Picture& p, int level = 4, bool dither = false, int maxColors = 256) {
    Options o;
    o.level = level;
    o.dither = dither;
    o.maxColors = maxColors;
    return Quantize(p.pixels.data(), p.width, p.height, o);
}

void ExpectWellFormed(const Picture& p, const Result& r, size_t maxColors) {
    ASSERT_EQ(r.indices.size(), p.pixels.size());
    ASSERT_GE(r.palette.size(), 1u);
    ASSERT_LE(r.palette.size(), maxColors);
    for (uint8_t i : r.indices) ASSERT_LT(i, r.palette.size());
}

double MeanSquaredError(const Picture& p, const Result& r) {
    return tovn::quant::MeanSquaredError(p.pixels.data(), r);
}

bool SameColor(Rgb a, Rgb b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

} // namespace

TEST(Quantize, KeepsPicturesWithFewEnoughColoursExactly) {
    for (int count : {1, 2, 16, 255, 256}) {
        for (bool dither : {false, true}) {
            const Picture p = FewColors(64, 40, count);
            const Result r = Reduce(p, 4, dither);
            ExpectWellFormed(p, r, 256);
            EXPECT_EQ(r.palette.size(), size_t(count));
            for (size_t i = 0; i < p.pixels.size(); ++i)
                ASSERT_TRUE(SameColor(r.palette[r.indices[i]], p.pixels[i])) << count;
        }
    }
    // The same holds under a smaller limit.
    const Picture p = FewColors(20, 20, 16);
    const Result r = Reduce(p, 4, false, 16);
    EXPECT_EQ(MeanSquaredError(p, r), 0.0);
    // The error measure itself: (3² + 4²) / 2 pixels.
    const Rgb two[2] = {{3, 4, 0}, {0, 0, 0}};
    EXPECT_EQ(tovn::quant::MeanSquaredError(two, Result{{{0, 0, 0}}, {0, 0}}), 12.5);
}

TEST(Quantize, HonoursThePaletteLimit) {
    const Picture p = Photo(120, 90);
    for (int limit : {2, 3, 16, 100, 256}) {
        for (bool dither : {false, true}) {
            const Result r = Reduce(p, 6, dither, limit);
            ExpectWellFormed(p, r, size_t(limit));
        }
    }
    // Limits outside 2..256 are brought into range.
    ExpectWellFormed(p, Reduce(p, 4, false, 0), 2);
    ExpectWellFormed(p, Reduce(p, 4, false, 1000), 256);
    EXPECT_EQ(Reduce(p, 4, false, 1000).palette.size(), 256u);
}

TEST(Quantize, DegenerateSizes) {
    for (auto [w, h] : {std::pair{1, 1}, {1, 300}, {300, 1}, {2, 2}}) {
        const Picture p = Photo(w, h);
        ExpectWellFormed(p, Reduce(p, 8, true, 2), 2);
        ExpectWellFormed(p, Reduce(p, 4, false, 256), 256);
    }
    Picture flat{50, 30, std::vector<Rgb>(1500, Rgb{10, 20, 30})};
    const Result r = Reduce(flat, 8, true);
    ASSERT_EQ(r.palette.size(), 1u);
    EXPECT_TRUE(SameColor(r.palette[0], Rgb{10, 20, 30}));

    const Rgb one{};
    Options o;
    EXPECT_TRUE(Quantize(nullptr, 1, 1, o).indices.empty());
    EXPECT_TRUE(Quantize(&one, 0, 1, o).indices.empty());
    EXPECT_TRUE(Quantize(&one, 1, -1, o).indices.empty());
    // A size whose pixel count does not fit is refused before anything is read.
    EXPECT_TRUE(Quantize(&one, 1 << 30, 1 << 30, o).indices.empty());
}

TEST(Quantize, HigherLevelsLoseLessAndAllAreReasonable) {
    const Picture p = Photo(200, 150);
    const double e4 = MeanSquaredError(p, Reduce(p, 4));
    const double e6 = MeanSquaredError(p, Reduce(p, 6));
    const double e8 = MeanSquaredError(p, Reduce(p, 8));
    EXPECT_LE(e8, e6);
    EXPECT_LE(e6, e4);
    EXPECT_LT(e8, e4);
    // Noise of ±8 around smooth ramps (variance 64 over three channels): 256 colours keep
    // the error below the noise.
    EXPECT_LT(e4, 60.0);
}

TEST(Quantize, FindsClustersExactly) {
    // Two tight clusters and two colours allowed: each entry lands on its cluster's mean.
    Picture p{40, 40, std::vector<Rgb>(1600)};
    for (size_t i = 0; i < p.pixels.size(); ++i) {
        const int d = int(i % 3) - 1; // -1, 0, +1 in equal shares
        p.pixels[i] = i % 2 ? Rgb{Clamp(200 + d), 40, 40} : Rgb{20, Clamp(100 + d), 220};
    }
    const Result r = Reduce(p, 8, false, 2);
    ASSERT_EQ(r.palette.size(), 2u);
    std::set<uint32_t> got;
    for (Rgb c : r.palette) got.insert(uint32_t(c.r) << 16 | c.g << 8 | c.b);
    EXPECT_EQ(got, (std::set<uint32_t>{200u << 16 | 40 << 8 | 40, 20u << 16 | 100 << 8 | 220}));
}

TEST(Quantize, UsesTheWholePaletteWhenColoursCrowdTogether) {
    // 512 distinct colours packed into a tiny corner of the colour cube.
    Picture p{64, 64, std::vector<Rgb>(4096)};
    for (size_t i = 0; i < p.pixels.size(); ++i) {
        const int k = int(i % 512);
        p.pixels[i] = {uint8_t(k & 7), uint8_t(k >> 3 & 7), uint8_t(k >> 6)};
    }
    const Result r = Reduce(p, 4);
    ExpectWellFormed(p, r, 256);
    EXPECT_GT(r.palette.size(), 200u);
    EXPECT_LT(MeanSquaredError(p, r), 1.0);
}

TEST(Quantize, DitheringKeepsTheLocalAverage) {
    // A ramp with four colours: undithered, wide bands; dithered, each 8×8 block between
    // the darkest and the lightest palette entry still averages close to the original.
    Picture p{256, 64, std::vector<Rgb>(256 * 64)};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x) {
            const uint8_t v = uint8_t(x);
            p.pixels[size_t(y) * 256 + x] = {v, v, uint8_t(255 - v)};
        }
    auto worstBlockError = [&](const Result& r) {
        double worst = 0;
        for (int by = 0; by < 64; by += 8)
            for (int bx = 64; bx < 192; bx += 8) {
                double want = 0, got = 0;
                for (int y = by; y < by + 8; ++y)
                    for (int x = bx; x < bx + 8; ++x) {
                        want += p.pixels[size_t(y) * 256 + x].r;
                        got += r.palette[r.indices[size_t(y) * 256 + x]].r;
                    }
                worst = std::max(worst, std::fabs(want - got) / 64);
            }
        return worst;
    };
    const Result plain = Reduce(p, 8, false, 4);
    const Result dithered = Reduce(p, 8, true, 4);
    ExpectWellFormed(p, dithered, 4);
    EXPECT_GT(worstBlockError(plain), 20.0);
    EXPECT_LT(worstBlockError(dithered), 8.0);
}

TEST(Quantize, IsDeterministic) {
    const Picture p = Photo(97, 61, 7);
    for (bool dither : {false, true}) {
        const Result a = Reduce(p, 6, dither), b = Reduce(p, 6, dither);
        EXPECT_EQ(a.indices, b.indices);
        ASSERT_EQ(a.palette.size(), b.palette.size());
        for (size_t i = 0; i < a.palette.size(); ++i)
            EXPECT_TRUE(SameColor(a.palette[i], b.palette[i]));
    }
}
