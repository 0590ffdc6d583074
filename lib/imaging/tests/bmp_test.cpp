#include "imaging/bmp.h"
#include "imaging/bytes.h"
#include <gtest/gtest.h>

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
