// IFWIC.SPI loaded as a host loads it, on small pictures with known pixels.
#include "susie/tests/spi_host.h"

using namespace tovn::susie::test;

namespace {

std::string DataPath(const char* name) {
    return std::string("Z:") + TOVN_SOURCE_DIR + "/outside/ifwic/tests/data/" + name;
}

Dib Load(const Spi& spi, const char* name) {
    return LoadBothWays(spi, DataPath(name));
}

// The 4 x 2 test picture: red, green, blue, white / blue, blue, red, white.
const int kPalettePicture[2][4] = {{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF},
                                   {0x0000FF, 0x0000FF, 0xFF0000, 0xFFFFFF}};

void ExpectPalettePicture(const Dib& dib, bool paletted) {
    ASSERT_EQ(dib.layout.width, 4);
    ASSERT_EQ(dib.layout.height, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            int v = dib.At(x, y);
            EXPECT_EQ(paletted ? dib.Color(v) : v, kPalettePicture[y][x]) << x << "," << y;
        }
}

} // namespace

TEST(Wic, PalettePicturesStayPaletted) {
    Spi spi("IFWIC.SPI");
    ASSERT_TRUE(spi.ok());
    for (const char* name : {"pal.png", "pal.gif"}) {
        SCOPED_TRACE(name);
        Dib dib = Load(spi, name);
        EXPECT_LE(dib.layout.bitCount, 8);
        ExpectPalettePicture(dib, true);
    }
}

TEST(Wic, OtherPicturesBecomeTrueColour) {
    Spi spi("IFWIC.SPI");
    Dib tif = Load(spi, "rgb.tif");
    EXPECT_EQ(tif.layout.bitCount, 24);
    ExpectPalettePicture(tif, false);

    // Transparency is laid over white.
    Dib alpha = Load(spi, "alpha.png");
    ASSERT_EQ(alpha.layout.bitCount, 24);
    EXPECT_EQ(alpha.At(0, 0), 0xFF0000);
    EXPECT_EQ(alpha.At(1, 0), 0xFFFFFF);
    EXPECT_NEAR(alpha.At(2, 0) & 0xFF, 128, 2);
}

TEST(Wic, InfoWithoutDecoding) {
    Spi spi("IFWIC.SPI");
    std::string path = DataPath("pal.gif");
    tovn::susie::PictureInfo info{};
    ASSERT_EQ(spi.getPictureInfo(path.c_str(), 0, 0, &info), 0);
    EXPECT_EQ(info.width, 4);
    EXPECT_EQ(info.height, 2);
    EXPECT_LE(info.colorDepth, 8);
}

TEST(Wic, IconsShowTheirLargestImage) {
    Spi spi("IFWIC.SPI");
    Dib ico = Load(spi, "icon.ico");
    EXPECT_EQ(ico.layout.width, 32);
    int c = ico.layout.bitCount <= 8 ? ico.Color(ico.At(5, 5)) : ico.At(5, 5);
    EXPECT_EQ(c, 0x0000FF);
}

TEST(Wic, DescribesAndRefuses) {
    Spi spi("IFWIC.SPI");
    EXPECT_EQ(spi.Info(0), "00IN");
    EXPECT_EQ(spi.Info(2), "*.PNG");
    EXPECT_EQ(spi.Info(4), "*.GIF");
    EXPECT_EQ(spi.Info(10), "");
    // JPEG is IFJPEG's, whatever order the folder lists the plug-ins in.
    const std::string jpeg =
        std::string("Z:") + TOVN_SOURCE_DIR + "/outside/ifjpeg/tests/data/flat.jpg";
    for (const std::string& other : {WinPath("pictures/mag/S16FULL.MAG"), jpeg})
        EXPECT_FALSE(spi.SupportsHead(ReadAll(other))) << other;
    // A PNG cut in half is broken, not a crash.
    std::vector<uint8_t> png = ReadAll(DataPath("pal.png"));
    Dib dib;
    int r = spi.Picture(reinterpret_cast<const char*>(png.data()),
                        static_cast<LONG_PTR>(png.size() / 2), 1, &dib);
    EXPECT_EQ(r, 3);
}

// No decoder of these formats scales here, so previews are the whole pictures; a decoder that
// does scale must still give a longer side of at least what was asked.
TEST(Wic, PreviewsAreAtLeastTheSideAsked) {
    Spi spi("IFWIC.SPI");
    ASSERT_TRUE(spi.getPreview && spi.setPreviewSide);
    for (const char* name : {"pal.png", "pal.gif", "rgb.tif", "alpha.png", "icon.ico"}) {
        SCOPED_TRACE(name);
        const Dib whole = Load(spi, name);
        for (int side : {1, 3, 256}) {
            spi.setPreviewSide(side);
            Dib preview;
            ASSERT_EQ(spi.Preview(DataPath(name).c_str(), 0, 0, &preview), 0) << side;
            EXPECT_GE(std::max(preview.layout.width, preview.layout.height),
                      std::min(side, std::max(whole.layout.width, whole.layout.height)));
            if (preview.layout.width == whole.layout.width) {
                EXPECT_EQ(preview.layout.bitCount, whole.layout.bitCount);
                EXPECT_EQ(preview.info, whole.info);
                EXPECT_EQ(preview.bits, whole.bits);
            }
        }
    }
    std::vector<uint8_t> png = ReadAll(DataPath("pal.png"));
    Dib dib;
    EXPECT_EQ(spi.Preview(reinterpret_cast<const char*>(png.data()),
                          static_cast<LONG_PTR>(png.size() / 2), 1, &dib),
              3);
}

// Pictures past 16 million pixels decode (the host's own limit decides what is shown).
TEST(Wic, LargePicturesDecode) {
    Spi spi("IFWIC.SPI");
    Dib dib;
    ASSERT_EQ(spi.Picture(DataPath("large.png").c_str(), 0, 0, &dib), 0);
    ASSERT_EQ(dib.layout.width, 4200);
    ASSERT_EQ(dib.layout.height, 4000);
    EXPECT_EQ(dib.Color(dib.At(4199, 3999)), 0x4080C0);
}
