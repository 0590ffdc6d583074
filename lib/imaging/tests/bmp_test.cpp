#include "imaging/bmp.h"
#include "imaging/bytes.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

using namespace tovn::bmp;
using tovn::bytes::PutLe16;
using tovn::bytes::PutLe32;

namespace {

// A 5 x 3 4-bit picture with a 3-entry palette: rows of 3 bytes, stored stride 4.
std::vector<uint8_t> SmallFile() {
    std::vector<uint8_t> rows(3 * 3);
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<uint8_t>(i * 0x11);
    return WriteBmpFile(5, 3, 4, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, rows.data(), 3);
}

constexpr size_t kInfo = 14; // where the info header starts in a file

} // namespace

TEST(Bmp, WrittenFileParsesBack) {
    auto file = SmallFile();
    auto d = ParseBmpFile(file.data(), file.size());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->width, 5);
    EXPECT_EQ(d->height, 3);
    EXPECT_FALSE(d->topDown);
    EXPECT_EQ(d->bitCount, 4);
    EXPECT_EQ(d->colorCount, 3u);
    EXPECT_EQ(d->infoOffset, 14u);
    EXPECT_EQ(d->infoSize, 40u + 12u);
    EXPECT_EQ(d->bitsOffset, 14u + 52u);
    EXPECT_EQ(d->stride, 4u);
    EXPECT_EQ(d->bitsSize, 12u);
    ASSERT_EQ(file.size(), 14u + 52u + 12u);
    // palette stored B, G, R, 0; rows copied and padded
    EXPECT_EQ(file[d->infoOffset + 40 + 4], 6);
    EXPECT_EQ(file[d->bitsOffset + 4], 0x33);
    EXPECT_EQ(file[d->bitsOffset + 3], 0);

    // The same header block as a packed DIB with its bits apart.
    auto info = ParseDibInfo(file.data() + 14, 52, 12);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->infoOffset, 0u);
    EXPECT_EQ(info->bitsOffset, 0u);
    EXPECT_FALSE(ParseDibInfo(file.data() + 14, 51, 12)); // colour table cut off
    EXPECT_FALSE(ParseDibInfo(file.data() + 14, 52, 11)); // bits too short
}

TEST(Bmp, WriterRefusesWhatItCannotStore) {
    uint8_t row[8] = {};
    EXPECT_TRUE(WriteBmpFile(1, 1, 24, {}, row, 3).size());
    EXPECT_TRUE(WriteBmpFile(2, 1, 24, {}, row, 3).empty());          // stride shorter than a row
    EXPECT_TRUE(WriteBmpFile(1, 1, 16, {}, row, 8).empty());          // unsupported depth
    EXPECT_TRUE(WriteBmpFile(0, 1, 8, {}, row, 8).empty());           // empty picture
    EXPECT_TRUE(WriteBmpFile(1, 1, 1, {{}, {}, {}}, row, 8).empty()); // palette too big
    EXPECT_TRUE(WriteBmpFile(1, 1, 8, {}, nullptr, 8).empty());
    // A height whose file would not fit the 32-bit size field.
    EXPECT_TRUE(WriteBmpFile(0x10000, 0x10000, 24, {}, row, 0x30000).empty());
}

TEST(Bmp, RejectsDamagedHeaders) {
    auto good = SmallFile();
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
        int width; // 2 or 4 bytes
    };
    const Case cases[] = {
        {"not BM", 0, 'X', 2},
        {"offset beyond file", 10, 0x1000, 4},
        {"offset inside the colour table", 10, 14 + 50, 4},
        {"header size too small", kInfo, 20, 4},
        {"header size beyond offset", kInfo, 200, 4},
        {"zero width", kInfo + 4, 0, 4},
        {"negative width", kInfo + 4, 0xFFFFFFFF, 4},
        {"zero height", kInfo + 8, 0, 4},
        {"height INT32_MIN", kInfo + 8, 0x80000000, 4},
        {"height beyond bits", kInfo + 8, 4, 4},
        {"planes", kInfo + 12, 2, 2},
        {"bit count 2", kInfo + 14, 2, 2},
        {"bit count 0", kInfo + 14, 0, 2},
        {"RLE8 with 4 bits", kInfo + 16, 1, 4},
        {"bitfields with 4 bits", kInfo + 16, 3, 4},
        {"JPEG", kInfo + 16, 4, 4},
        {"more colours than bits allow", kInfo + 32, 17, 4},
        {"colour table past the offset", kInfo + 32, 16, 4},
        {"width whose row overflows", kInfo + 4, 0x7FFFFFFF, 4},
    };
    for (const Case& c : cases) {
        auto bad = good;
        if (c.width == 2)
            PutLe16(bad.data() + c.at, c.value);
        else
            PutLe32(bad.data() + c.at, c.value);
        EXPECT_FALSE(ParseBmpFile(bad.data(), bad.size())) << c.what;
    }
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(ParseBmpFile(good.data(), n)) << "cut to " << n;
    EXPECT_FALSE(ParseBmpFile(nullptr, 100));
}

TEST(Bmp, OtherLayouts) {
    // 24-bit top-down
    uint8_t pixels[2 * 3] = {1, 2, 3, 4, 5, 6};
    auto file = WriteBmpFile(2, 1, 24, {}, pixels, 6);
    PutLe32(file.data() + kInfo + 8, static_cast<uint32_t>(-1));
    auto d = ParseBmpFile(file.data(), file.size());
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->topDown);
    EXPECT_EQ(d->height, 1);
    EXPECT_EQ(d->colorCount, 0u);
    EXPECT_EQ(d->stride, 8u);

    // RLE8: the image size field bounds the bits; top-down RLE is invalid.
    uint8_t idx[4] = {};
    auto rle = WriteBmpFile(4, 1, 8, {{}}, idx, 4);
    PutLe32(rle.data() + kInfo + 16, 1);
    PutLe32(rle.data() + kInfo + 20, 2);
    d = ParseBmpFile(rle.data(), rle.size());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->bitsSize, 2u);
    PutLe32(rle.data() + kInfo + 20, 5);
    EXPECT_FALSE(ParseBmpFile(rle.data(), rle.size()));
    PutLe32(rle.data() + kInfo + 20, 0); // 0: the rest of the file
    d = ParseBmpFile(rle.data(), rle.size());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->bitsSize, 4u);
    PutLe32(rle.data() + kInfo + 8, static_cast<uint32_t>(-1));
    EXPECT_FALSE(ParseBmpFile(rle.data(), rle.size()));

    // Old core header: 3-byte colour entries.
    std::vector<uint8_t> core(14 + 12 + 2 * 3 + 4, 0);
    core[0] = 'B';
    core[1] = 'M';
    PutLe32(core.data() + 10, 14 + 12 + 6);
    PutLe32(core.data() + 14, 12);
    PutLe16(core.data() + 18, 3);
    PutLe16(core.data() + 20, 1);
    PutLe16(core.data() + 22, 1);
    PutLe16(core.data() + 24, 1);
    d = ParseBmpFile(core.data(), core.size());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->colorCount, 2u);
    EXPECT_EQ(d->infoSize, 18u);
    EXPECT_EQ(d->bitsSize, 4u);
}

namespace {

std::vector<uint8_t> Sample(const std::string& name) {
    std::ifstream f(std::string(TOVN_TESTDATA_DIR) + "/pictures/bmp/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// The colours of a plain file as 0xRRGGBB, top row first.
std::vector<uint32_t> Colours(const std::vector<uint8_t>& file) {
    auto d = ParseBmpFile(file.data(), file.size());
    EXPECT_TRUE(d && d->compression == 0);
    if (!d || d->compression != 0) return {};
    const std::vector<Rgb> table = ColourTable(file.data(), *d);
    std::vector<uint32_t> out;
    for (int y = 0; y < d->height; ++y) {
        const int stored = d->topDown ? y : d->height - 1 - y;
        const uint8_t* row = file.data() + d->bitsOffset + size_t(stored) * d->stride;
        for (int x = 0; x < d->width; ++x) {
            Rgb c;
            if (d->bitCount <= 8) {
                const size_t bit = size_t(x) * d->bitCount;
                const int i =
                    row[bit / 8] >> (8 - d->bitCount - bit % 8) & ((1 << d->bitCount) - 1);
                c = size_t(i) < table.size() ? table[size_t(i)] : Rgb{};
            } else {
                const uint8_t* p = row + size_t(x) * (d->bitCount / 8);
                c = {p[2], p[1], p[0]};
            }
            out.push_back(uint32_t(c.r) << 16 | c.g << 8 | c.b);
        }
    }
    return out;
}

// A bottom-up RLE file of `width` x `height` with a 16-entry palette (entry i = (i, i, i)).
std::vector<uint8_t> RleFile(int width, int height, int bits, const std::vector<uint8_t>& runs) {
    std::vector<Rgb> palette;
    for (uint8_t i = 0; i < 16; ++i) palette.push_back({i, i, i});
    std::vector<uint8_t> row(size_t(width), 0);
    auto file = WriteBmpFile(width, 1, bits, palette, row.data(), row.size());
    const size_t bitsAt = tovn::bytes::Le32(file.data() + 10);
    file.resize(bitsAt);
    file.insert(file.end(), runs.begin(), runs.end());
    PutLe32(file.data() + 2, uint32_t(file.size()));
    PutLe32(file.data() + kInfo + 8, uint32_t(height));
    PutLe32(file.data() + kInfo + 16, bits == 8 ? 1 : 2);
    PutLe32(file.data() + kInfo + 20, uint32_t(runs.size()));
    return file;
}

// A 32-bit file of one row: info header of headerSize bytes, then masks when given.
std::vector<uint8_t> TrueColourRow(const std::vector<uint32_t>& pixels, uint32_t headerSize,
                                   const std::vector<uint32_t>& masks) {
    const bool after = !masks.empty() && headerSize == 40;
    std::vector<uint8_t> file(kInfo + headerSize + (after ? 12 : 0), 0);
    file[0] = 'B';
    file[1] = 'M';
    PutLe32(file.data() + 10, uint32_t(file.size()));
    PutLe32(file.data() + kInfo, headerSize);
    PutLe32(file.data() + kInfo + 4, uint32_t(pixels.size()));
    PutLe32(file.data() + kInfo + 8, 1);
    PutLe16(file.data() + kInfo + 12, 1);
    PutLe16(file.data() + kInfo + 14, 32);
    PutLe32(file.data() + kInfo + 16, masks.empty() ? 0 : 3);
    for (size_t i = 0; i < masks.size(); ++i) PutLe32(file.data() + kInfo + 40 + 4 * i, masks[i]);
    for (uint32_t p : pixels) {
        file.resize(file.size() + 4);
        PutLe32(file.data() + file.size() - 4, p);
    }
    return file;
}

} // namespace

TEST(PlainBmp, ImageMagickFilesShowAsTheirUncompressedDecode) {
    struct Case {
        const char* file;
        const char* reference;
        int tolerance; // rounding of widened channels and of the alpha blend
    };
    const Case cases[] = {
        {"RLE8.BMP", "RLE8REF.BMP", 0},
        {"RGB565.BMP", "RGB565REF.BMP", 1},
        {"ALPHA32.BMP", "ALPHA32REF.BMP", 1},
        // ImageMagick widens 4-bit channels by shifting, we by repeating their bits: the two
        // differ by up to one 4-bit step.
        {"ARGB4444.BMP", "ARGB4444REF.BMP", 17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto file = Sample(c.file);
        auto stored = ParseBmpFile(file.data(), file.size());
        ASSERT_TRUE(stored);
        ASSERT_NE(stored->compression, 0u);
        const auto got = Colours(PlainBmpFile(file));
        const auto want = Colours(Sample(c.reference));
        ASSERT_EQ(got.size(), want.size());
        ASSERT_EQ(got.size(), size_t(stored->width) * size_t(stored->height));
        for (size_t i = 0; i < got.size(); ++i)
            for (int shift : {0, 8, 16})
                ASSERT_LE(std::abs(int(got[i] >> shift & 255) - int(want[i] >> shift & 255)),
                          c.tolerance)
                    << "pixel " << i << std::hex << ": " << got[i] << " for " << want[i];
    }
    // Run-length pictures keep their depth and colour table.
    const auto file = Sample("RLE8.BMP");
    const auto plain = PlainBmpFile(file);
    auto d = ParseBmpFile(plain.data(), plain.size());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->bitCount, 8);
    EXPECT_EQ(d->colorCount, ParseBmpFile(file.data(), file.size())->colorCount);
}

TEST(PlainBmp, RunsDeltasAndEscapesStayInsideThePicture) {
    struct Case {
        const char* what;
        int bits;
        std::vector<uint8_t> runs;
        const char* rows; // palette indices in hex, top row first, rows apart by '/'
    };
    const Case cases[] = {
        {"runs, end of line, end of picture", 8, {2, 5, 0, 0, 3, 7, 0, 1, 4, 9}, "0000/7770/5500"},
        {"a run past the row's end is cut", 8, {6, 9, 0, 0, 1, 3, 0, 1}, "0000/3000/9999"},
        {"a delta moves right and up", 8, {1, 1, 0, 2, 2, 1, 1, 2, 0, 1}, "0000/0002/1000"},
        {"a delta past the picture ends it", 8, {1, 1, 0, 2, 0, 9, 1, 2}, "0000/0000/1000"},
        {"a delta past the row's end", 8, {0, 2, 9, 0, 1, 4, 0, 0, 1, 5}, "0000/5000/0000"},
        {"literal pixels padded to a word", 8, {0, 3, 4, 5, 6, 0, 1, 8, 0, 1}, "0000/0000/4568"},
        {"literal pixels past the row's end",
         8,
         {0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 1, 9},
         "0000/9000/1234"},
        {"literal pixels past the data", 8, {1, 1, 0, 9, 1, 2}, "0000/0000/1000"},
        {"a stream cut inside a pair", 8, {2, 3, 0}, "0000/0000/3300"},
        {"rows past the last are dropped",
         8,
         {0, 0, 0, 0, 0, 0, 4, 1, 0, 0, 4, 1},
         "0000/0000/0000"},
        {"nibble runs alternate", 4, {3, 0x12, 0, 0, 0, 3, 0x45, 0x60, 0, 1}, "0000/4560/1210"},
        {"odd nibble literals padded to a word",
         4,
         {0, 5, 0x12, 0x34, 0x50, 0, 2, 0x77, 0, 1},
         "0000/0000/1234"},
        {"nibble runs past the row's end", 4, {9, 0xAB, 0, 0, 1, 0xC0}, "0000/C000/ABAB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto plain = PlainBmpFile(RleFile(4, 3, c.bits, c.runs));
        auto d = ParseBmpFile(plain.data(), plain.size());
        ASSERT_TRUE(d);
        EXPECT_EQ(d->bitCount, c.bits);
        std::string got;
        for (uint32_t colour : Colours(plain)) {
            if (got.size() % 5 == 4) got += '/';
            got += "0123456789ABCDEF"[colour & 15];
        }
        EXPECT_EQ(got, c.rows);
    }
    // Runs can describe any size in a few bytes: what they expand to is bounded.
    EXPECT_TRUE(PlainBmpFile(RleFile(0x10000, 0x10000, 8, {0, 1})).empty());
    EXPECT_FALSE(PlainBmpFile(RleFile(0x1000, 0x1000, 8, {0, 1})).empty());
}

TEST(PlainBmp, AlphaIsComposedOverWhiteOnlyWhereTheChannelCarriesIt) {
    struct Case {
        const char* what;
        uint32_t headerSize;
        std::vector<uint32_t> masks; // red, green, blue[, alpha]; none: plain 32 bits
        std::vector<uint32_t> pixels;
        std::vector<uint32_t> colours; // empty: the file comes back unchanged
    };
    const std::vector<uint32_t> argb = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    const Case cases[] = {
        {"no masks, alpha all zero", 40, {}, {0x00FF0000, 0x000000FF}, {}},
        {"no masks, alpha in use", 40, {}, {0x80FF0000, 0x000000FF}, {0xFF7F7F, 0xFFFFFF}},
        {"masks with alpha, all zero", 124, argb, {0x00FF0000, 0x000000FF}, {0xFF0000, 0x0000FF}},
        {"masks with alpha in use", 124, argb, {0xFFFF0000, 0x000000FF}, {0xFF0000, 0xFFFFFF}},
        {"ten-bit masks after the header",
         40,
         {0x3FF00000, 0xFFC00, 0x3FF},
         {0x3FF00200, 0x000FFC00},
         {0xFF0080, 0x00FF00}},
        {"masks in a header without alpha", 52, {0xFF, 0xFF00, 0xFF0000}, {0xFF0000FF}, {0xFF0000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto file = TrueColourRow(c.pixels, c.headerSize, c.masks);
        ASSERT_TRUE(ParseBmpFile(file.data(), file.size()));
        const auto plain = PlainBmpFile(file);
        if (c.colours.empty()) {
            EXPECT_EQ(plain, file);
            continue;
        }
        auto d = ParseBmpFile(plain.data(), plain.size());
        ASSERT_TRUE(d);
        EXPECT_EQ(d->bitCount, 24);
        EXPECT_EQ(Colours(plain), c.colours);
    }
}
