#include "imaging/bmp_to_mag.h"
#include "imaging/bytes.h"
#include "imaging/mag.h"
#include <gtest/gtest.h>
#include <random>

using namespace tovn::imaging;

namespace {

// Packs top-down indices into bottom-up rows of a BMP with `bits` per pixel.
std::vector<uint8_t> IndexedBmp(int w, int h, int bits, const std::vector<Rgb>& pal,
                                const std::vector<uint8_t>& idx) {
    size_t stride = (static_cast<size_t>(w) * bits + 31) / 32 * 4;
    std::vector<uint8_t> rows(stride * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t bit = static_cast<size_t>(x) * bits;
            rows[(h - 1 - y) * stride + bit / 8] |=
                static_cast<uint8_t>(idx[y * w + x] << (8 - bits - bit % 8));
        }
    return tovn::bmp::WriteBmpFile(w, h, bits, pal, rows.data(), stride);
}

Picture Decode(const MagResult& r) {
    EXPECT_TRUE(r.error.empty()) << r.error;
    Decoded d = DecodeMag(r.file.data(), r.file.size());
    EXPECT_EQ(d.status, Status::Ok);
    return d.picture;
}

} // namespace

TEST(BmpToMag, PaletteBmpsKeepTheirIndices) {
    std::mt19937 rng(5);
    struct Case {
        int bits, colors, magBits;
    };
    for (Case c : {Case{1, 2, 4}, Case{4, 16, 4}, Case{8, 16, 4}, Case{8, 256, 8}}) {
        SCOPED_TRACE(c.bits);
        int w = 37, h = 11;
        std::vector<Rgb> pal;
        for (int i = 0; i < c.colors; ++i)
            pal.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i * 3)});
        std::vector<uint8_t> idx(w * h);
        for (auto& v : idx) v = static_cast<uint8_t>(rng() % c.colors);
        auto bmp = IndexedBmp(w, h, c.bits, pal, idx);
        Picture p = Decode(BmpToMag(bmp.data(), bmp.size()));
        EXPECT_EQ(p.bitsPerPixel, c.magBits);
        EXPECT_EQ(p.width, w);
        EXPECT_EQ(p.height, h);
        EXPECT_EQ(p.pixels, idx);
        for (int i = 0; i < c.colors; ++i) EXPECT_EQ(p.palette[i].g, pal[i].g);
    }
}

TEST(BmpToMag, TopDownRowsStayInOrder) {
    std::vector<uint8_t> idx = {1, 2, 3, 4};
    auto bmp = IndexedBmp(2, 2, 8, {{}, {}, {}, {}, {}}, idx);
    // Reverse the rows and mark the picture top-down.
    std::swap_ranges(bmp.end() - 8, bmp.end() - 4, bmp.end() - 4);
    tovn::bytes::PutLe32(bmp.data() + 22, static_cast<uint32_t>(-2));
    EXPECT_EQ(Decode(BmpToMag(bmp.data(), bmp.size())).pixels, idx);
}

TEST(BmpToMag, TrueColourIsReduced) {
    // Six colours in 24 bits: few enough that the reduction keeps them all exactly.
    const Rgb colors[] = {{0, 0, 0},   {255, 0, 0},   {0, 255, 0},
                          {0, 0, 255}, {255, 255, 0}, {9, 99, 199}};
    int w = 24, h = 6;
    std::vector<uint8_t> rows(w * 3 * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb c = colors[(x / 4 + y) % 6];
            uint8_t* p = &rows[(h - 1 - y) * w * 3 + x * 3];
            p[0] = c.b, p[1] = c.g, p[2] = c.r;
        }
    auto bmp = tovn::bmp::WriteBmpFile(w, h, 24, {}, rows.data(), w * 3);
    Picture p = Decode(BmpToMag(bmp.data(), bmp.size()));
    EXPECT_EQ(p.bitsPerPixel, 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb want = colors[(x / 4 + y) % 6];
            Rgb got = p.palette[p.pixels[y * w + x]];
            EXPECT_TRUE(got.r == want.r && got.g == want.g && got.b == want.b) << x << "," << y;
        }
}

TEST(BmpToMag, RefusesWithAReason) {
    const uint8_t junk[] = "not a picture at all, just words";
    EXPECT_FALSE(BmpToMag(junk, sizeof junk).error.empty());
    std::vector<uint8_t> idx(4);
    auto bmp = IndexedBmp(4, 1, 8, {{}}, idx);
    tovn::bytes::PutLe32(bmp.data() + 14 + 16, 4); // JPEG inside
    auto r = BmpToMag(bmp.data(), bmp.size());
    EXPECT_TRUE(r.file.empty());
    EXPECT_FALSE(r.error.empty());
}

TEST(BmpToMag, RunLengthBmpsKeepTheirIndices) {
    // Two rows of 4: runs 1 1 2 2 / 3 3 3 3, end of picture.
    const std::vector<uint8_t> runs = {4, 3, 0, 0, 2, 1, 2, 2, 0, 1};
    std::vector<uint8_t> idx(8);
    auto bmp = IndexedBmp(4, 2, 8, {{}, {10, 0, 0}, {0, 20, 0}, {0, 0, 30}}, idx);
    bmp.resize(bmp.size() - 8);
    bmp.insert(bmp.end(), runs.begin(), runs.end());
    tovn::bytes::PutLe32(bmp.data() + 14 + 16, 1); // RLE8
    tovn::bytes::PutLe32(bmp.data() + 14 + 20, uint32_t(runs.size()));
    Picture p = Decode(BmpToMag(bmp.data(), bmp.size()));
    EXPECT_EQ(p.pixels, std::vector<uint8_t>({1, 1, 2, 2, 3, 3, 3, 3}));
}
