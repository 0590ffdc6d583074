#include "imaging/mag.h"
#include "samples.h"
#include <gtest/gtest.h>
#include <random>

using namespace tovn::imaging;

namespace {

void ExpectSame(const Picture& a, const Picture& b) {
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.bitsPerPixel, b.bitsPerPixel);
    EXPECT_EQ(a.tallDots, b.tallDots);
    EXPECT_TRUE(a.pixels == b.pixels);
    ASSERT_EQ(a.palette.size(), b.palette.size());
    for (size_t i = 0; i < a.palette.size(); ++i) {
        EXPECT_EQ(a.palette[i].r, b.palette[i].r);
        EXPECT_EQ(a.palette[i].g, b.palette[i].g);
        EXPECT_EQ(a.palette[i].b, b.palette[i].b);
    }
}

// Random pixels drawn from a few colours, with repeated runs and lines so copies occur.
Picture RandomPicture(std::mt19937& rng, int bits) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    Picture p;
    p.bitsPerPixel = bits;
    p.width = 1 + pick(70);
    p.height = 1 + pick(40);
    p.left = pick(3) == 0 ? 0 : pick(650);
    p.top = pick(410);
    p.tallDots = pick(2);
    int colors = 1 << bits;
    for (int i = 0; i < colors; ++i)
        p.palette.push_back({static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()),
                             static_cast<uint8_t>(rng())});
    int used = 1 + pick(colors);
    p.pixels.resize(static_cast<size_t>(p.width) * p.height);
    for (size_t i = 0; i < p.pixels.size(); ++i) {
        bool repeat = i >= static_cast<size_t>(p.width) && pick(3) == 0;
        p.pixels[i] = repeat ? p.pixels[i - p.width] : static_cast<uint8_t>(pick(used));
    }
    return p;
}

} // namespace

TEST(Mag, SamplesDecodeToTheirPixels) {
    for (const auto& e : samples::kAll) {
        if (std::string(e.file).rfind("mag/", 0) != 0) continue;
        SCOPED_TRACE(e.file);
        auto bytes = samples::Load(e.file);
        ASSERT_TRUE(IsMag(bytes.data(), bytes.size()));
        Decoded d = DecodeMag(bytes.data(), bytes.size());
        ASSERT_EQ(d.status, Status::Ok);
        const Picture& p = d.picture;
        EXPECT_EQ(p.left, e.left);
        EXPECT_EQ(p.top, e.top);
        ASSERT_EQ(p.width, e.width);
        ASSERT_EQ(p.height, e.height);
        EXPECT_EQ(p.bitsPerPixel, e.bitsPerPixel);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                ASSERT_EQ(p.pixels[y * p.width + x], e.pixel(x, y)) << x << "," << y;
        ASSERT_EQ(p.palette.size(), size_t{1} << e.bitsPerPixel);
        for (size_t i = 0; i < p.palette.size(); ++i) {
            Rgb c = e.color(static_cast<int>(i));
            ASSERT_EQ(p.palette[i].r, c.r) << i;
            ASSERT_EQ(p.palette[i].g, c.g) << i;
            ASSERT_EQ(p.palette[i].b, c.b) << i;
        }
    }
}

TEST(Mag, EncoderMakesTheSampleStreams) {
    // The samples were made with the same choice of copies: from the header on, our
    // encoding of their pixels must be the same bytes.
    for (const char* name : {"mag/S16FULL.MAG", "mag/S16PART.MAG", "mag/S256FULL.MAG"}) {
        SCOPED_TRACE(name);
        auto bytes = samples::Load(name);
        Decoded d = DecodeMag(bytes.data(), bytes.size());
        ASSERT_EQ(d.status, Status::Ok);
        auto ours = EncodeMag(d.picture);
        size_t theirs =
            bytes.size() - (std::find(bytes.begin(), bytes.end(), 0x1A) - bytes.begin());
        size_t mine = ours.size() - (std::find(ours.begin(), ours.end(), 0x1A) - ours.begin());
        ASSERT_EQ(theirs, mine);
        EXPECT_TRUE(std::equal(bytes.end() - theirs, bytes.end(), ours.end() - mine));
    }
}

TEST(Mag, RandomPicturesRoundTrip) {
    std::mt19937 rng(1234);
    for (int i = 0; i < 300; ++i) {
        Picture p = RandomPicture(rng, i % 2 ? 8 : 4);
        SCOPED_TRACE(testing::Message() << "picture " << i << " " << p.width << "x" << p.height
                                        << " at " << p.left << "," << p.top);
        auto file = EncodeMag(p);
        ASSERT_FALSE(file.empty());
        Decoded d = DecodeMag(file.data(), file.size());
        ASSERT_EQ(d.status, Status::Ok);
        ExpectSame(d.picture, p);
    }
}

TEST(Mag, FullScreenCompresses) {
    Picture p;
    p.bitsPerPixel = 4;
    p.width = 640;
    p.height = 400;
    p.palette.resize(16);
    p.pixels.resize(640 * 400);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x)
            p.pixels[y * 640 + x] = static_cast<uint8_t>((x / 40 + y / 25) % 16);
    auto file = EncodeMag(p);
    EXPECT_LT(file.size(), 20000u);
    Decoded d = DecodeMag(file.data(), file.size());
    ASSERT_EQ(d.status, Status::Ok);
    ExpectSame(d.picture, p);
}

TEST(Mag, EncoderRefusesWhatItCannotStore) {
    std::mt19937 rng(7);
    Picture p = RandomPicture(rng, 4);
    auto bad = p;
    bad.bitsPerPixel = 24;
    EXPECT_TRUE(EncodeMag(bad).empty());
    bad = p;
    bad.left = 0x10000 - p.width + 1; // right edge beyond 16-bit coordinates
    EXPECT_TRUE(EncodeMag(bad).empty());
    bad = p;
    bad.pixels.pop_back();
    EXPECT_TRUE(EncodeMag(bad).empty());
    bad = p;
    bad.palette.resize(17);
    EXPECT_TRUE(EncodeMag(bad).empty());
}

TEST(Mag, DamagedFilesAreBroken) {
    auto good = samples::Load("mag/S16FULL.MAG");
    const size_t h = 0x21;
    auto broken = [](std::vector<uint8_t> f) {
        return DecodeMag(f.data(), f.size()).status == Status::Broken;
    };
    for (size_t n = 8; n < good.size(); ++n)
        EXPECT_TRUE(broken({good.begin(), good.begin() + n})) << "cut to " << n;
    EXPECT_EQ(DecodeMag(good.data(), 7).status, Status::Unsupported);

    auto edit = [&](size_t at, std::initializer_list<uint8_t> v) {
        auto f = good;
        std::copy(v.begin(), v.end(), f.begin() + at);
        return f;
    };
    EXPECT_TRUE(broken(edit(0x20, {' '})));                      // no end of text
    EXPECT_TRUE(broken(edit(h + 8, {0xFF, 0xFF, 0xFF, 0xFF})));  // huge picture, tiny flags
    EXPECT_TRUE(broken(edit(h + 4, {0x10, 0})));                 // start right of end
    EXPECT_TRUE(broken(edit(h + 12, {0xF0, 0xFF, 0xFF, 0xFF}))); // flag A offset far away
    EXPECT_TRUE(broken(edit(h + 28, {6, 0, 0, 0})));             // pixel data shorter than needed
    EXPECT_TRUE(broken(edit(h + 20, {3, 0, 0, 0})));             // flag B shorter than needed
    // First flag byte 0x41: "one line up" on line 0 points above the picture.
    EXPECT_TRUE(broken(edit(0x73, {0x41})));
    // 0x31: "four units left" from the first unit.
    EXPECT_TRUE(broken(edit(0x73, {0x31})));
}
