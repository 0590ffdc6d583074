// IFJPEG.SPI loaded as a host loads it: whole pictures of every kind, reduced previews and
// damaged files.
#include "susie/tests/spi_host.h"
#include <cstdlib>

using namespace tovn::susie::test;

namespace {

std::string DataPath(const char* name) {
    return std::string("Z:") + TOVN_SOURCE_DIR + "/outside/ifjpeg/tests/data/" + name;
}

const char* Bytes(const std::vector<uint8_t>& file) {
    return reinterpret_cast<const char*>(file.data());
}

Dib Load(const Spi& spi, const char* name) {
    return LoadBothWays(spi, DataPath(name));
}

Dib Preview(const Spi& spi, const char* name, int side) {
    spi.setPreviewSide(side);
    Dib dib;
    EXPECT_EQ(spi.Preview(DataPath(name).c_str(), 0, 0, &dib), 0) << name << " at " << side;
    return dib;
}

int Channel(int rgb, int c) {
    return rgb >> (16 - 8 * c) & 255;
}

void ExpectNear(int got, int want, int tolerance) {
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(Channel(got, c), Channel(want, c), tolerance) << c;
}

// The mean of each f x f block of the picture, as 0xRRGGBB.
int BoxMean(const Dib& dib, int x0, int y0, int f) {
    int sum[3] = {};
    for (int y = y0 * f; y < y0 * f + f; ++y)
        for (int x = x0 * f; x < x0 * f + f; ++x)
            for (int c = 0; c < 3; ++c) sum[c] += Channel(dib.At(x, y), c);
    int n = f * f, rgb = 0;
    for (int c = 0; c < 3; ++c) rgb = rgb << 8 | (sum[c] + n / 2) / n;
    return rgb;
}

} // namespace

TEST(Jpeg, DecodesBaselineProgressiveGreyAndCmykAsTrueColour) {
    Spi spi("IFJPEG.SPI");
    ASSERT_TRUE(spi.ok());
    struct Case {
        const char* name;
        int width, height, x, y, rgb, tolerance;
    } cases[] = {
        {"flat.jpg", 16, 16, 7, 7, 0x28A0DC, 4},       {"prog.jpg", 320, 240, 10, 1, 0xC02020, 8},
        {"prog.jpg", 320, 240, 300, 238, 0x20C0C0, 8}, {"gray.jpg", 64, 48, 10, 20, 0x202020, 3},
        {"gray.jpg", 64, 48, 50, 20, 0x808080, 3},     {"cmyk.jpg", 64, 48, 30, 20, 0x2850DC, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dib dib = Load(spi, c.name);
        ASSERT_EQ(dib.layout.bitCount, 24);
        ASSERT_EQ(dib.layout.width, c.width);
        ASSERT_EQ(dib.layout.height, c.height);
        ExpectNear(dib.At(c.x, c.y), c.rgb, c.tolerance);
    }
}

TEST(Jpeg, PreviewIsTheSmallestEighthNotBelowTheSide) {
    Spi spi("IFJPEG.SPI");
    ASSERT_TRUE(spi.getPreview && spi.setPreviewSide);
    struct Case {
        int side, width, height;
    } cases[] = {{1, 100, 75},     {100, 100, 75},  {101, 200, 150},
                 {256, 300, 225},  {700, 700, 525}, {701, 800, 600},
                 {5000, 800, 600}, {0, 300, 225}}; // 0: the default of 256
    for (const Case& c : cases) {
        Dib dib = Preview(spi, "grad.jpg", c.side);
        EXPECT_EQ(dib.layout.width, c.width) << c.side;
        EXPECT_EQ(dib.layout.height, c.height) << c.side;
    }
    // The picture information keeps the real size.
    tovn::susie::PictureInfo info{};
    ASSERT_EQ(spi.getPictureInfo(DataPath("grad.jpg").c_str(), 0, 0, &info), 0);
    EXPECT_EQ(info.width, 800);
    EXPECT_EQ(info.height, 600);
}

// A reduced decode shows what the whole picture box-reduced by the same factor shows: on
// average within 2 levels per channel, nowhere more than 12 (the decoder's smaller inverse
// transforms and chroma upsampling round differently).
TEST(Jpeg, PreviewMatchesTheWholePictureBoxReduced) {
    Spi spi("IFJPEG.SPI");
    Dib whole = Load(spi, "grad.jpg");
    for (int factor : {8, 4, 2}) {
        SCOPED_TRACE(factor);
        Dib small = Preview(spi, "grad.jpg", 800 / factor);
        ASSERT_EQ(small.layout.width, 800 / factor);
        ASSERT_EQ(small.layout.height, 600 / factor);
        long total = 0, worst = 0;
        for (int y = 0; y < small.layout.height; ++y)
            for (int x = 0; x < small.layout.width; ++x) {
                const int want = BoxMean(whole, x, y, factor), got = small.At(x, y);
                for (int c = 0; c < 3; ++c) {
                    const long d = std::abs(Channel(got, c) - Channel(want, c));
                    total += d;
                    worst = std::max(worst, d);
                }
            }
        EXPECT_LE(total, 2L * 3 * small.layout.width * small.layout.height);
        EXPECT_LE(worst, 12);
    }
}

TEST(Jpeg, DamagedFilesFailAsBrokenData) {
    Spi spi("IFJPEG.SPI");
    const std::vector<uint8_t> file = ReadAll(DataPath("grad.jpg"));
    auto cut = [&](size_t n) { return std::vector<uint8_t>(file.begin(), file.begin() + n); };
    std::vector<uint8_t> noSize = file; // the frame header's height and width made zero
    for (size_t i = 2; i + 9 < noSize.size(); ++i)
        if (noSize[i] == 0xFF && noSize[i + 1] == 0xC0) {
            std::fill(noSize.begin() + i + 5, noSize.begin() + i + 9, 0);
            break;
        }
    for (const auto& damaged :
         {cut(file.size() / 2), cut(file.size() - 2), cut(200), cut(4), noSize}) {
        SCOPED_TRACE(damaged.size());
        const LONG_PTR n = static_cast<LONG_PTR>(damaged.size());
        Dib dib;
        EXPECT_EQ(spi.Picture(Bytes(damaged), n, 1, &dib), 3);
        spi.setPreviewSide(100);
        EXPECT_EQ(spi.Preview(Bytes(damaged), n, 1, &dib), 3);
    }
    // Scrambled picture data decodes to something or fails; it never takes the host down.
    for (size_t step : {97u, 31u, 7u}) {
        std::vector<uint8_t> scrambled = file;
        for (size_t i = 700; i < scrambled.size() - 2; i += step) scrambled[i] ^= 0x5A;
        Dib dib;
        int r = spi.Picture(Bytes(scrambled), static_cast<LONG_PTR>(scrambled.size()), 1, &dib);
        EXPECT_TRUE(r == 0 || r == 3) << step << ": " << r;
    }
    // Not a JPEG at all.
    std::vector<uint8_t> mag = ReadAll(WinPath("pictures/mag/S16FULL.MAG"));
    EXPECT_FALSE(spi.SupportsHead(mag));
}
