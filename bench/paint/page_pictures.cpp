#include "page_pictures.h"
#include "imaging/bmp.h"
#include "imaging/mag.h"
#include <cmath>
#include <cstdio>
#include <random>

namespace tovn::bench {

namespace {

using imaging::Rgb;

// A smooth scene with a little grain: what makes photographs dear to stretch and MAG
// screens a mix of copies and literals. Channel c of pixel (x, y), 0..255.
class Scene {
public:
    explicit Scene(uint32_t seed) : rng_(seed) {
        std::uniform_real_distribution<double> phase(0.0, 6.283);
        for (double& p : phase_) p = phase(rng_);
    }
    int At(int x, int y, int c) {
        double v = 128 + 60 * std::sin(x * 0.013 + phase_[c]) +
                   50 * std::cos(y * 0.017 + phase_[c + 3]) + 20 * std::sin((x + y) * 0.05);
        v += static_cast<int>(rng_() % 17) - 8;
        return v < 0 ? 0 : v > 255 ? 255 : static_cast<int>(v);
    }

private:
    std::mt19937 rng_;
    double phase_[6];
};

std::vector<Rgb> CubePalette() {
    std::vector<Rgb> pal(256);
    for (int i = 0; i < 216; ++i)
        pal[i] = {static_cast<uint8_t>(i / 36 * 51), static_cast<uint8_t>(i / 6 % 6 * 51),
                  static_cast<uint8_t>(i % 6 * 51)};
    return pal;
}

std::vector<Rgb> RampPalette(int colors) {
    std::vector<Rgb> pal(colors);
    for (int i = 0; i < colors; ++i) {
        int v = i * 255 / (colors - 1);
        pal[i] = {static_cast<uint8_t>(v), static_cast<uint8_t>(255 - v),
                  static_cast<uint8_t>((v * 3) & 255)};
    }
    return pal;
}

std::vector<uint8_t> MagScreen(int bits, Scene& scene) {
    const int colors = 1 << bits;
    imaging::Picture p;
    p.width = 640;
    p.height = 400;
    p.bitsPerPixel = bits;
    p.palette = RampPalette(colors);
    p.pixels.resize(size_t{640} * 400);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.pixels[size_t{640} * y + x] = static_cast<uint8_t>(scene.At(x, y, 0) * colors / 256);
    return imaging::EncodeMag(p);
}

// Bottom-up rows in file order (blue, green, red for 24 bits).
std::vector<uint8_t> BmpPhoto(int width, int height, int bits, Scene& scene) {
    const size_t stride = (static_cast<size_t>(width) * bits / 8 + 3) / 4 * 4;
    std::vector<uint8_t> rows(stride * height);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = &rows[stride * (height - 1 - y)];
        for (int x = 0; x < width; ++x) {
            int r = scene.At(x, y, 0), g = scene.At(x, y, 1), b = scene.At(x, y, 2);
            if (bits == 24) {
                row[3 * x] = static_cast<uint8_t>(b);
                row[3 * x + 1] = static_cast<uint8_t>(g);
                row[3 * x + 2] = static_cast<uint8_t>(r);
            } else {
                row[x] = static_cast<uint8_t>((r * 6 / 256) * 36 + (g * 6 / 256) * 6 + b * 6 / 256);
            }
        }
    }
    return bmp::WriteBmpFile(width, height, bits, bits == 8 ? CubePalette() : std::vector<Rgb>{},
                             rows.data(), stride);
}

} // namespace

PictureFile MakePictureFile(PictureKind kind, int number, uint32_t seed) {
    static const char* const kStem[] = {"SCR16_", "SCR256_", "PHOTO24_", "PHOTO8_"};
    static const char* const kExtension[] = {"MAG", "MAG", "BMP", "BMP"};
    const int k = static_cast<int>(kind);
    char name[32];
    std::snprintf(name, sizeof name, "%s%03d.%s", kStem[k], number, kExtension[k]);
    Scene scene(seed + static_cast<uint32_t>(number) * 7919u);
    switch (kind) {
    case PictureKind::Mag16:
        return {name, kind, 640, 400, MagScreen(4, scene)};
    case PictureKind::Mag256:
        return {name, kind, 640, 400, MagScreen(8, scene)};
    case PictureKind::Bmp24:
        return {name, kind, 800, 600, BmpPhoto(800, 600, 24, scene)};
    case PictureKind::Bmp8:
        break;
    }
    return {name, kind, 640, 480, BmpPhoto(640, 480, 8, scene)};
}

std::vector<PictureFile> MakePage(int count, uint32_t seed) {
    std::vector<PictureFile> page;
    for (int i = 0; i < count; ++i)
        page.push_back(MakePictureFile(static_cast<PictureKind>(i % 4), i + 1, seed));
    return page;
}

} // namespace tovn::bench
