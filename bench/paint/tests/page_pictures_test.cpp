#include "page_pictures.h"
#include "imaging/bmp.h"
#include "imaging/mag.h"
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace tovn;
using namespace tovn::bench;

namespace {

// Distinct values among the first n bytes from offset: a flat picture would make the
// stretch and the decoders look cheaper than any real page.
size_t Variety(const std::vector<uint8_t>& v, size_t offset, size_t n) {
    return std::set<uint8_t>(v.begin() + offset, v.begin() + offset + n).size();
}

} // namespace

TEST(PagePictures, MagScreensDecodeToBusyPicturesOfTheirDepth) {
    for (auto [kind, bits] :
         {std::pair{PictureKind::Mag16, 4}, std::pair{PictureKind::Mag256, 8}}) {
        PictureFile f = MakePictureFile(kind, 3, 7);
        imaging::Decoded d = imaging::DecodeMag(f.bytes.data(), f.bytes.size());
        ASSERT_EQ(d.status, imaging::Status::Ok) << f.name;
        EXPECT_EQ(d.picture.width, 640);
        EXPECT_EQ(d.picture.height, 400);
        EXPECT_EQ(d.picture.bitsPerPixel, bits);
        EXPECT_GE(Variety(d.picture.pixels, 0, d.picture.pixels.size()), size_t{1} << (bits - 1))
            << f.name;
    }
}

TEST(PagePictures, BmpPhotographsAreValidFilesOfTheirDepth) {
    for (auto [kind, bits] : {std::pair{PictureKind::Bmp24, 24}, std::pair{PictureKind::Bmp8, 8}}) {
        PictureFile f = MakePictureFile(kind, 4, 7);
        auto layout = bmp::ParseBmpFile(f.bytes.data(), f.bytes.size());
        ASSERT_TRUE(layout) << f.name;
        EXPECT_EQ(layout->width, f.width);
        EXPECT_EQ(layout->height, f.height);
        EXPECT_EQ(layout->bitCount, bits);
        EXPECT_EQ(f.bytes.size(), layout->bitsOffset + layout->bitsSize);
        EXPECT_GE(Variety(f.bytes, layout->bitsOffset, layout->bitsSize), 100u) << f.name;
    }
}

TEST(PagePictures, PageMixesTheKindsUnderUniqueNames) {
    std::vector<PictureFile> page = MakePage(100, 1);
    ASSERT_EQ(page.size(), 100u);
    std::set<std::string> names;
    std::map<PictureKind, int> kinds;
    for (const PictureFile& f : page) {
        names.insert(f.name);
        ++kinds[f.kind];
        bool mag = f.kind == PictureKind::Mag16 || f.kind == PictureKind::Mag256;
        EXPECT_EQ(f.name.substr(f.name.size() - 4), mag ? ".MAG" : ".BMP") << f.name;
        EXPECT_FALSE(f.bytes.empty()) << f.name;
    }
    EXPECT_EQ(names.size(), 100u);
    for (auto [kind, n] : kinds) EXPECT_EQ(n, 25) << static_cast<int>(kind);
    EXPECT_EQ(kinds.size(), 4u);
}

TEST(PagePictures, SameSeedSameBytesOtherNumberOtherPicture) {
    EXPECT_EQ(MakePictureFile(PictureKind::Bmp24, 5, 9).bytes,
              MakePictureFile(PictureKind::Bmp24, 5, 9).bytes);
    EXPECT_NE(MakePictureFile(PictureKind::Mag256, 5, 9).bytes,
              MakePictureFile(PictureKind::Mag256, 6, 9).bytes);
}
