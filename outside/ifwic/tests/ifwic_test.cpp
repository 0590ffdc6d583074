// IFWIC.SPI loaded as a host loads it, on small pictures with known pixels.
#include "susie/tests/spi_host.h"

using namespace tovn::susie::test;

namespace {

std::string DataPath(const char* name) {
    return std::string("Z:") + TOVN_SOURCE_DIR + "/outside/ifwic/tests/data/" + name;
}

// Decodes by file and by memory; both must give the same blocks.
Dib Load(const Spi& spi, const char* name) {
    std::string path = DataPath(name);
    std::vector<uint8_t> file = ReadAll(path);
    EXPECT_TRUE(spi.SupportsHead(file)) << name;
    EXPECT_TRUE(spi.SupportsHandle(path)) << name;
    Dib byFile, byMemory;
    EXPECT_EQ(spi.Picture(path.c_str(), 0, 0, &byFile), 0) << name;
    EXPECT_EQ(spi.Picture(reinterpret_cast<const char*>(file.data()),
                          static_cast<LONG_PTR>(file.size()), 1, &byMemory),
              0)
        << name;
    EXPECT_EQ(byFile.bits, byMemory.bits) << name;
    return byFile;
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

    Dib jpg = Load(spi, "flat.jpg");
    ASSERT_EQ(jpg.layout.width, 16);
    int c = jpg.At(7, 7);
    EXPECT_NEAR(c >> 16, 40, 4);
    EXPECT_NEAR(c >> 8 & 255, 160, 4);
    EXPECT_NEAR(c & 255, 220, 4);
}

TEST(Wic, InfoWithoutDecoding) {
    Spi spi("IFWIC.SPI");
    std::string path = DataPath("pal.gif");
    tovn::susie::PictureInfo info{};
    ASSERT_EQ(spi.getPictureInfo(path.c_str(), 0, 0, &info), 0);
    EXPECT_EQ(info.width, 4);
    EXPECT_EQ(info.height, 2);
    EXPECT_LE(info.colorDepth, 8);
    std::vector<uint8_t> jpg = ReadAll(DataPath("flat.jpg"));
    ASSERT_EQ(spi.getPictureInfo(reinterpret_cast<const char*>(jpg.data()),
                                 static_cast<LONG_PTR>(jpg.size()), 1, &info),
              0);
    EXPECT_EQ(info.width, 16);
    EXPECT_EQ(info.colorDepth, 24);
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
    EXPECT_EQ(spi.Info(4), "*.JPG;*.JPEG");
    EXPECT_EQ(spi.Info(12), "");
    std::vector<uint8_t> mag = ReadAll(WinPath("pictures/mag/S16FULL.MAG"));
    EXPECT_FALSE(spi.SupportsHead(mag));
    // A PNG cut in half is broken, not a crash.
    std::vector<uint8_t> png = ReadAll(DataPath("pal.png"));
    Dib dib;
    int r = spi.Picture(reinterpret_cast<const char*>(png.data()),
                        static_cast<LONG_PTR>(png.size() / 2), 1, &dib);
    EXPECT_EQ(r, 3);
}
