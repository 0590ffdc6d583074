// The PI, PIC and MKI decoders against the samples, and their handling of damaged files.
#include "imaging/dib.h"
#include "imaging/mag.h"
#include "imaging/mki.h"
#include "imaging/pi.h"
#include "imaging/pic.h"
#include "samples.h"
#include <gtest/gtest.h>

using namespace tovn::imaging;

namespace {

Decoded DecodeAny(const std::vector<uint8_t>& f) {
    const uint8_t* d = f.data();
    size_t n = f.size();
    if (IsMag(d, n)) return DecodeMag(d, n);
    if (IsMki(d, n)) return DecodeMki(d, n);
    if (IsPi(d, n)) return DecodePi(d, n);
    if (IsPic(d, n)) return DecodePic(d, n);
    return {Status::Unsupported, {}};
}

void ExpectSample(const samples::Expected& e) {
    SCOPED_TRACE(e.file);
    Decoded d = DecodeAny(samples::Load(e.file));
    ASSERT_EQ(d.status, Status::Ok);
    const Picture& p = d.picture;
    ASSERT_EQ(p.width, e.width);
    ASSERT_EQ(p.height, e.height);
    EXPECT_EQ(p.left, e.left);
    EXPECT_EQ(p.top, e.top);
    ASSERT_EQ(p.bitsPerPixel, e.bitsPerPixel);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            size_t i = static_cast<size_t>(y) * p.width + x;
            int got = p.bitsPerPixel == 24
                          ? p.pixels[3 * i] << 16 | p.pixels[3 * i + 1] << 8 | p.pixels[3 * i + 2]
                          : p.pixels[i];
            ASSERT_EQ(got, e.pixel(x, y)) << x << "," << y;
        }
    }
    if (!e.color) return;
    ASSERT_EQ(p.palette.size(), size_t{1} << p.bitsPerPixel);
    for (size_t i = 0; i < p.palette.size(); ++i) {
        Rgb c = e.color(static_cast<int>(i));
        ASSERT_TRUE(p.palette[i].r == c.r && p.palette[i].g == c.g && p.palette[i].b == c.b) << i;
    }
}

} // namespace

TEST(Decoders, SamplesDecodeToTheirPixels) {
    for (const auto& e : samples::kAll) ExpectSample(e);
    ExpectSample(samples::SB640());
}

TEST(Decoders, EveryTruncationIsBroken) {
    struct Case {
        const char* name;
        size_t padding; // trailing bytes the decoder never needs
        size_t step;
    };
    for (Case c : {Case{"pi/S16.PI", 4, 1}, Case{"pic/S15.PIC", 1, 1}, Case{"mki/SA640.MKI", 0, 7},
                   Case{"mki/SB640.MKI", 0, 7}}) {
        auto f = samples::Load(c.name);
        for (size_t n = 0; n < f.size() - c.padding; n += c.step) {
            std::vector<uint8_t> cut(f.begin(), f.begin() + n);
            EXPECT_NE(DecodeAny(cut).status, Status::Ok) << c.name << " cut to " << n;
        }
        f.resize(f.size() - c.padding);
        EXPECT_EQ(DecodeAny(f).status, Status::Ok) << c.name;
    }
}

TEST(Decoders, HostileHeadersAreRefused) {
    auto edit = [](const char* name, size_t at, std::initializer_list<uint8_t> v) {
        auto f = samples::Load(name);
        std::copy(v.begin(), v.end(), f.begin() + at);
        return DecodeAny(f).status;
    };
    // PI: header after "Pi" 1A 00 at offset 4: mode, aspect, bits, machine, ext length.
    EXPECT_EQ(edit("pi/S16.PI", 4 + 3, {5}), Status::Broken);          // 5 bits per pixel
    EXPECT_EQ(edit("pi/S16.PI", 4 + 8, {0xFF, 0xFF}), Status::Broken); // extension past end
    EXPECT_EQ(edit("pi/S16.PI", 4 + 10, {0xFF, 0xFF, 0xFF, 0xFF}), Status::Broken); // 65535²
    EXPECT_EQ(edit("pi/S16.PI", 2, {0}), Status::Broken); // no end of text
    // PIC: "PIC" "test" 1A 00 | reserved, type, bits, width, height.
    EXPECT_EQ(edit("pic/S15.PIC", 10, {0x01}), Status::Broken);  // not an X68000 picture
    EXPECT_EQ(edit("pic/S15.PIC", 11, {0, 12}), Status::Broken); // 12 colour bits
    EXPECT_EQ(edit("pic/S15.PIC", 13, {0, 0}), Status::Broken);  // zero width
    EXPECT_EQ(edit("pic/S15.PIC", 13, {0xFF, 0xFF, 0xFF, 0xFF}), Status::Broken);
    // MKI: end X/Y not whole blocks, empty, flag B size beyond the file.
    EXPECT_EQ(edit("mki/SA640.MKI", 44, {0x02, 0x7F}), Status::Broken);
    EXPECT_EQ(edit("mki/SA640.MKI", 46, {0, 0}), Status::Broken);
    EXPECT_EQ(edit("mki/SA640.MKI", 32, {0xFF, 0xFF}), Status::Broken);
    EXPECT_EQ(edit("mki/SA640.MKI", 34, {0, 0, 0, 0}), Status::Broken); // no pixel data
}

TEST(Decoders, PicChainsLeavingThePictureDrawNothing) {
    // 2 x 1 picture: length 1 → cell 0 white, chain one left (outside) then two right
    // (outside, below), end; length 2 → beyond the end.
    // bits: 00 | 0 111111111111111 | 1 | 01 | 0011 | 000 | 01
    const uint8_t f[] = {'P', 'I', 'C', 0x1A, 0, 0, 0, 0, 15, 0, 2, 0, 1, 0x1F, 0xFF, 0xE9, 0x84};
    Decoded d = DecodePic(f, sizeof f);
    ASSERT_EQ(d.status, Status::Ok);
    EXPECT_EQ(d.picture.pixels, (std::vector<uint8_t>{255, 255, 255, 255, 255, 255}));
}

TEST(Dib, BlocksFollowTheBitmapLayout) {
    Picture p;
    p.width = 3;
    p.height = 2;
    p.bitsPerPixel = 4;
    p.palette = {{1, 2, 3}, {4, 5, 6}};
    p.pixels = {1, 2, 3, 4, 5, 6};
    auto info = DibInfo(p);
    auto bits = DibBits(p);
    auto layout = tovn::bmp::ParseDibInfo(info.data(), info.size(), bits.size());
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->colorCount, 2u);
    EXPECT_EQ(info[40], 3); // blue first
    EXPECT_EQ(bits, (std::vector<uint8_t>{0x45, 0x60, 0, 0, 0x12, 0x30, 0, 0}));

    p.bitsPerPixel = 24;
    p.palette.clear();
    p.width = 1;
    p.pixels = {1, 2, 3, 4, 5, 6};
    bits = DibBits(p);
    EXPECT_EQ(bits, (std::vector<uint8_t>{6, 5, 4, 0, 3, 2, 1, 0}));
}

TEST(Decoders, FilePickingNeedsMoreThanTheSignature) {
    auto pi = samples::Load("pi/S16.PI");
    auto pic = samples::Load("pic/S15.PIC");
    EXPECT_TRUE(LooksLikePi(pi.data(), pi.size()));
    EXPECT_TRUE(LooksLikePic(pic.data(), pic.size()));
    const char text[] = "Pictures of the summer trip\r\n";
    auto bytes = reinterpret_cast<const uint8_t*>(text);
    EXPECT_FALSE(LooksLikePi(bytes, sizeof text - 1));
    EXPECT_FALSE(LooksLikePic(bytes, sizeof text - 1));
    pi[7] = 24; // depth
    EXPECT_FALSE(LooksLikePi(pi.data(), pi.size()));
}

TEST(Decoders, Pi256ColourRanks) {
    // 2 x 1, 256 colours: first pixel rank 56 from left 0 (→ 200), second rank 150 from
    // left 200 (→ 50, the 7-bit rank form), then one copy of the virtual pixels before.
    std::vector<uint8_t> f = {'P', 'i', 0x1A, 0, 0, 0, 0, 8, 'T', 'E', 'S', 'T', 0, 0, 0, 2, 0, 1};
    f.resize(f.size() + 768, 0);
    for (uint8_t b : {0x7B, 0x0F, 0xCB, 0, 0, 0, 0, 0}) f.push_back(b);
    Decoded d = DecodePi(f.data(), f.size());
    ASSERT_EQ(d.status, Status::Ok);
    EXPECT_EQ(d.picture.bitsPerPixel, 8);
    EXPECT_EQ(d.picture.pixels, (std::vector<uint8_t>{200, 50}));
    f[4] = 0x80; // no palette stored: the default one, and the stream starts 768 bytes earlier
    f.erase(f.begin() + 18, f.begin() + 18 + 768);
    d = DecodePi(f.data(), f.size());
    ASSERT_EQ(d.status, Status::Ok);
    EXPECT_EQ(d.picture.pixels, (std::vector<uint8_t>{200, 50}));
    EXPECT_EQ(d.picture.palette[200].g, 0xC0); // GGGRRRBB
    EXPECT_EQ(d.picture.palette[200].r, 0x40);
}
