#include "quant/dib.h"

#include <gtest/gtest.h>

using tovn::quant::DibBlocks;
using tovn::quant::DibPicture;
using tovn::quant::ReadDib;
using tovn::quant::Result;
using tovn::quant::Rgb;
using tovn::quant::WriteDib8;

namespace {

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
}

// A header block: 40-byte header followed by `tail` (masks or colour table).
std::vector<uint8_t> Info(int32_t width, int32_t height, int bitCount, uint32_t compression = 0,
                          std::vector<uint8_t> tail = {}, uint32_t used = 0) {
    std::vector<uint8_t> info(40);
    Put32(info, 0, 40);
    Put32(info, 4, uint32_t(width));
    Put32(info, 8, uint32_t(height));
    info[12] = 1;
    info[14] = uint8_t(bitCount);
    Put32(info, 16, compression);
    Put32(info, 32, used);
    info.resize(40 + tail.size());
    std::copy(tail.begin(), tail.end(), info.begin() + 40);
    return info;
}

std::vector<uint8_t> Masks(uint32_t r, uint32_t g, uint32_t b) {
    std::vector<uint8_t> m(12);
    Put32(m, 0, r), Put32(m, 4, g), Put32(m, 8, b);
    return m;
}

std::optional<DibPicture> Read(const std::vector<uint8_t>& info, const std::vector<uint8_t>& bits) {
    return ReadDib(info.data(), info.size(), bits.data(), bits.size());
}

bool Same(Rgb a, Rgb b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

} // namespace

TEST(ReadDib, TrueColourRowsPaddingAndOrientation) {
    // 3×2 at 24 bits: rows of 9 bytes padded to 12, bottom row stored first.
    std::vector<uint8_t> bits(24, 0xEE);
    const uint8_t bottom[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const uint8_t top[9] = {10, 11, 12, 13, 14, 15, 16, 17, 18};
    std::copy(bottom, bottom + 9, bits.begin());
    std::copy(top, top + 9, bits.begin() + 12);
    auto up = Read(Info(3, 2, 24), bits);
    ASSERT_TRUE(up);
    ASSERT_EQ(up->pixels.size(), 6u);
    EXPECT_TRUE(Same(up->pixels[0], Rgb{12, 11, 10})); // top-left, stored as blue, green, red
    EXPECT_TRUE(Same(up->pixels[5], Rgb{9, 8, 7}));
    EXPECT_EQ(up->height, 2);
    // A negative height stores the top row first.
    auto down = Read(Info(3, -2, 24), bits);
    ASSERT_TRUE(down);
    EXPECT_EQ(down->height, 2);
    EXPECT_TRUE(Same(down->pixels[0], Rgb{3, 2, 1}));
}

TEST(ReadDib, SixteenAndThirtyTwoBitMasks) {
    // 16 bits without masks are 5-5-5; 0x7FFF is white, 0x7C00 full red.
    std::vector<uint8_t> bits16 = {0xFF, 0x7F, 0x00, 0x7C};
    auto p = Read(Info(2, 1, 16), bits16);
    ASSERT_TRUE(p);
    EXPECT_TRUE(Same(p->pixels[0], Rgb{255, 255, 255}));
    EXPECT_TRUE(Same(p->pixels[1], Rgb{255, 0, 0}));
    // 5-6-5 through masks: 0x07E0 is full green.
    std::vector<uint8_t> bits565 = {0xE0, 0x07, 0x1F, 0x00};
    p = Read(Info(2, 1, 16, 3, Masks(0xF800, 0x07E0, 0x001F)), bits565);
    ASSERT_TRUE(p);
    EXPECT_TRUE(Same(p->pixels[0], Rgb{0, 255, 0}));
    EXPECT_TRUE(Same(p->pixels[1], Rgb{0, 0, 255}));
    // 32 bits, plain: blue, green, red, unused.
    p = Read(Info(1, 1, 32), {30, 20, 10, 99});
    ASSERT_TRUE(p);
    EXPECT_TRUE(Same(p->pixels[0], Rgb{10, 20, 30}));
    // 10-bit fields are narrowed to 8 bits: 1023 → 255, 512 → 128.
    const uint32_t px = 1023u << 20 | 512u << 10;
    p = Read(Info(1, 1, 32, 3, Masks(0x3FF00000, 0xFFC00, 0x3FF)),
             {uint8_t(px), uint8_t(px >> 8), uint8_t(px >> 16), uint8_t(px >> 24)});
    ASSERT_TRUE(p);
    EXPECT_TRUE(Same(p->pixels[0], Rgb{255, 128, 0}));
}

TEST(ReadDib, IndexedPicturesAndShortTables) {
    // Two colours, 1 bit: 9 pixels 1,0,1,0,... take two bytes of a 4-byte row.
    std::vector<uint8_t> table = {0, 0, 0, 0, 255, 255, 255, 0};
    auto p = Read(Info(9, 1, 1, 0, table), {0xAA, 0x80, 0, 0});
    ASSERT_TRUE(p);
    for (int x = 0; x < 9; ++x) EXPECT_EQ(p->pixels[size_t(x)].r, x % 2 ? 0 : 255) << x;
    // 2 and 4 bits: the high bits hold the left pixel.
    std::vector<uint8_t> four = {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0, 4, 4, 4, 0};
    p = Read(Info(4, 1, 2, 0, four), {0x1B, 0, 0, 0}); // 00 01 10 11
    ASSERT_TRUE(p);
    EXPECT_EQ(p->pixels[0].g, 1);
    EXPECT_EQ(p->pixels[3].g, 4);
    p = Read(Info(2, 1, 4, 0, four, 4), {0x31, 0, 0, 0});
    ASSERT_TRUE(p);
    EXPECT_EQ(p->pixels[0].b, 4);
    EXPECT_EQ(p->pixels[1].b, 2);
    // An 8-bit picture whose block holds only two table entries: other indices read black,
    // and nothing beyond the block is touched.
    p = Read(Info(3, 1, 8, 0, {9, 8, 7, 0, 6, 5, 4, 0}), {1, 200, 255, 0});
    ASSERT_TRUE(p);
    EXPECT_TRUE(Same(p->pixels[0], Rgb{4, 5, 6}));
    EXPECT_TRUE(Same(p->pixels[1], Rgb{0, 0, 0}));
    EXPECT_TRUE(Same(p->pixels[2], Rgb{0, 0, 0}));
}

TEST(ReadDib, RefusesWhatCannotBeReadSafely) {
    const std::vector<uint8_t> bits(64);
    std::vector<uint8_t> shortHeader = Info(2, 2, 24);
    shortHeader.resize(39);
    EXPECT_FALSE(Read(shortHeader, bits));
    std::vector<uint8_t> claimsMore = Info(2, 2, 24);
    Put32(claimsMore, 0, 41);
    EXPECT_FALSE(Read(claimsMore, bits));
    EXPECT_FALSE(Read(Info(0, 2, 24), bits));
    EXPECT_FALSE(Read(Info(-2, 2, 24), bits));
    EXPECT_FALSE(Read(Info(2, 0, 24), bits));
    EXPECT_FALSE(Read(Info(2, INT32_MIN, 24), bits));
    for (int depth : {0, 3, 12, 48}) EXPECT_FALSE(Read(Info(2, 2, depth), bits)) << depth;
    EXPECT_FALSE(Read(Info(2, 2, 8, 1), bits));                                 // RLE
    EXPECT_FALSE(Read(Info(2, 2, 24, 3, Masks(0xFF0000, 0xFF00, 0xFF)), bits)); // masks at 24
    EXPECT_FALSE(Read(Info(2, 2, 32, 3, Masks(0xF0F000, 0xFF00, 0xFF)), bits)); // gaps
    EXPECT_FALSE(Read(Info(2, 2, 32, 3), bits));                                // no masks
    EXPECT_FALSE(Read(Info(2, 2, 32, 5), bits));                                // PNG inside
    // Bits block one byte short; then sizes that would overflow or need gigabytes.
    EXPECT_FALSE(Read(Info(5, 3, 24), std::vector<uint8_t>(3 * 16 - 1)));
    EXPECT_TRUE(Read(Info(5, 3, 24), std::vector<uint8_t>(3 * 16)));
    EXPECT_FALSE(Read(Info(0x7FFFFFFF, 0x7FFFFFFF, 32), bits));
    EXPECT_FALSE(Read(Info(1 << 20, -(1 << 20), 1), bits));
    EXPECT_FALSE(ReadDib(nullptr, 40, bits.data(), bits.size()));
}

TEST(WriteDib8, HeaderTableAndRowsReadBack) {
    Result r;
    r.palette = {{10, 20, 30}, {200, 100, 50}};
    r.indices = {0, 1, 1, 1, 0, 0}; // 3×2, top row first
    const DibBlocks dib = WriteDib8(3, 2, r);
    ASSERT_EQ(dib.info.size(), 40u + 1024u);
    EXPECT_EQ(dib.info[14], 8);
    EXPECT_EQ(dib.bits.size(), 8u); // rows padded from 3 to 4 bytes
    auto back = ReadDib(dib.info.data(), dib.info.size(), dib.bits.data(), dib.bits.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width, 3);
    EXPECT_EQ(back->height, 2);
    for (size_t i = 0; i < 6; ++i) EXPECT_TRUE(Same(back->pixels[i], r.palette[r.indices[i]])) << i;
    // Bottom-up: the last stored row is the top one.
    EXPECT_EQ(WriteDib8(3, 2, r).bits[4], 0);
    EXPECT_EQ(WriteDib8(3, 2, r).bits[0], 1);
    // A result that does not fit the size gives nothing rather than a half-written picture.
    EXPECT_TRUE(WriteDib8(4, 2, r).info.empty());
    EXPECT_TRUE(WriteDib8(3, -2, r).info.empty());
}
