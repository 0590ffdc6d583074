// IFJPEG.SPI loaded as a host loads it: whole pictures of every kind, reduced previews and
// damaged files.
#include "susie/tests/spi_host.h"
#include <algorithm>
#include <cstdlib>
#include <thread>
#include <tuple>

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

// The frame header's height and width replaced (the first SOFn marker's).
std::vector<uint8_t> WithSize(std::vector<uint8_t> file, int width, int height) {
    for (size_t i = 2; i + 9 < file.size(); ++i)
        if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
            const uint8_t size[4] = {static_cast<uint8_t>(height >> 8),
                                     static_cast<uint8_t>(height), static_cast<uint8_t>(width >> 8),
                                     static_cast<uint8_t>(width)};
            std::copy(size, size + 4, file.begin() + static_cast<std::ptrdiff_t>(i) + 5);
            break;
        }
    return file;
}

constexpr int kRed = 0xC02020, kBlue = 0x2040C0, kGreen = 0x20A040;

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
    const std::vector<uint8_t> noSize = WithSize(file, 0, 0);
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

// The camera's thumbnail stands in for a preview only where it is as large as asked and of
// the picture's shape; otherwise the picture itself is decoded reduced.
TEST(Jpeg, EmbeddedThumbnailOnlyWhereItServes) {
    Spi spi("IFJPEG.SPI");
    struct Case {
        const char* name;
        int side, width, height, rgb;
    } cases[] = {
        {"exif.jpg", 100, 100, 75, kGreen},     // the thumbnail, itself reduced
        {"exif.jpg", 160, 160, 120, kGreen},    // the thumbnail whole
        {"exif.jpg", 161, 200, 150, kRed},      // too small: the picture at 5/8
        {"exif_mm.jpg", 150, 120, 160, kGreen}, // upright, big-endian Exif
        {"exif_wide.jpg", 100, 120, 68, kRed},  // another shape
        {"grad.jpg", 100, 100, 75, -1},         // no Exif at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " at " << c.side);
        Dib dib = Preview(spi, c.name, c.side);
        EXPECT_EQ(dib.layout.width, c.width);
        EXPECT_EQ(dib.layout.height, c.height);
        if (c.rgb >= 0) ExpectNear(dib.At(c.width / 2, c.height / 2), c.rgb, 6);
    }
    // The information and the whole picture are the main picture's.
    for (const auto& [name, w, h, rgb] :
         {std::tuple{"exif.jpg", 320, 240, kRed}, std::tuple{"exif_mm.jpg", 240, 320, kBlue}}) {
        tovn::susie::PictureInfo info{};
        ASSERT_EQ(spi.getPictureInfo(DataPath(name).c_str(), 0, 0, &info), 0);
        EXPECT_EQ(info.width, w);
        EXPECT_EQ(info.height, h);
        Dib dib = Load(spi, name);
        EXPECT_EQ(dib.layout.width, w);
        ExpectNear(dib.At(w / 2, h / 2), rgb, 6);
    }
}

TEST(Jpeg, DamagedThumbnailsFallBackToThePicture) {
    Spi spi("IFJPEG.SPI");
    spi.setPreviewSide(100);
    const std::vector<uint8_t> file = ReadAll(DataPath("exif.jpg"));
    // The thumbnail is the second picture in the file; blank its data after its start.
    std::vector<uint8_t> blank = file;
    const uint8_t start[] = {0xFF, 0xD8};
    auto soi = std::search(blank.begin() + 2, blank.end(), std::begin(start), std::end(start));
    ASSERT_NE(soi, blank.end());
    std::fill(soi + 2, soi + 400, 0);
    Dib dib;
    ASSERT_EQ(spi.Preview(Bytes(blank), static_cast<LONG_PTR>(blank.size()), 1, &dib), 0);
    EXPECT_EQ(dib.layout.width, 120);
    ExpectNear(dib.At(60, 45), kRed, 6);
    // Scrambled image directories (offsets anywhere) give the thumbnail, the picture or a
    // failure. They start after the Exif and TIFF headers at 24 + 14.
    const size_t exifEnd = static_cast<size_t>(soi - blank.begin()) + 520;
    for (size_t step : {3u, 5u, 11u, 13u}) {
        std::vector<uint8_t> scrambled = file;
        for (size_t i = 38; i < exifEnd; i += step) scrambled[i] ^= static_cast<uint8_t>(i);
        int r = spi.Preview(Bytes(scrambled), static_cast<LONG_PTR>(scrambled.size()), 1, &dib);
        EXPECT_TRUE(r == 0 || r == 3) << step << ": " << r;
    }
}

// Sizes no decode may attempt fail as out of memory at once: beyond the largest picture, or
// a progressive file whose whole-picture buffers pass the decoder's bound.
TEST(Jpeg, HugeDeclaredSizesFailAsOutOfMemory) {
    Spi spi("IFJPEG.SPI");
    spi.setPreviewSide(256);
    const int side = sizeof(void*) == 8 ? 29000 : 9999;
    struct Case {
        const char* name;
        int width, height;
    } cases[] = {{"grad.jpg", 65000, 65000}, {"prog.jpg", 65000, 65000}, {"prog.jpg", side, side}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " as " << c.width);
        const std::vector<uint8_t> huge = WithSize(ReadAll(DataPath(c.name)), c.width, c.height);
        const LONG_PTR n = static_cast<LONG_PTR>(huge.size());
        Dib dib;
        EXPECT_EQ(spi.Picture(Bytes(huge), n, 1, &dib), 4);
        EXPECT_EQ(spi.Preview(Bytes(huge), n, 1, &dib), 4);
        tovn::susie::PictureInfo info{};
        ASSERT_EQ(spi.getPictureInfo(Bytes(huge), n, 1, &info), 0);
        EXPECT_EQ(info.width, c.width);
    }
}

// Several threads decode at once while the preview side changes under them: each decode is
// the one a single thread gets.
TEST(Jpeg, ConcurrentDecodesAgree) {
    Spi spi("IFJPEG.SPI");
    ASSERT_NE(spi.isConcurrent, nullptr);
    const std::vector<uint8_t> file = ReadAll(DataPath("grad.jpg"));
    Dib whole;
    ASSERT_EQ(spi.Picture(Bytes(file), static_cast<LONG_PTR>(file.size()), 1, &whole), 0);
    constexpr int kThreads = 4, kRounds = 6;
    std::vector<int> wrong(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds; ++i) {
                Dib dib;
                const LONG_PTR n = static_cast<LONG_PTR>(file.size());
                if (t % 2) {
                    spi.setPreviewSide(100 + i);
                    const int r = spi.Preview(Bytes(file), n, 1, &dib);
                    wrong[t] += r != 0 || dib.layout.width < 100 || dib.layout.width > 200;
                } else {
                    wrong[t] += spi.Picture(Bytes(file), n, 1, &dib) != 0 || dib.bits != whole.bits;
                }
            }
        });
    for (std::thread& t : threads) t.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
}
