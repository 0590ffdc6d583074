// Mean colour error and time of our quantiser at levels 4, 6 and 8 against libimagequant at
// its default quality, on generated photograph-like pictures. Error is the mean squared
// RGB distance per pixel between the picture and its 256-colour version.
#include "quant/quant.h"

#include <libimagequant.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

using tovn::quant::Rgb;

struct Picture {
    const char* name;
    int width, height;
    std::vector<Rgb> pixels;
};

// The 256-colour version of a picture: a palette and one index per pixel.
using Reduced = tovn::quant::Result;

uint8_t Clamp(double v) {
    return uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    // Roughly normal, mean 0, deviation 1 (sum of uniforms).
    double Next() {
        double s = 0;
        for (int i = 0; i < 4; ++i) s += Uniform();
        return (s - 2.0) * std::sqrt(3.0);
    }
    double Uniform() {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) / double(1 << 24);
    }

private:
    uint32_t state_;
};

// Sky-like vertical gradient, a lit sphere, a few flat-coloured objects with hard edges,
// a textured ground and sensor noise.
Picture Scene(const char* name, int width, int height, uint32_t seed) {
    Picture p{name, width, height, std::vector<Rgb>(size_t(width) * height)};
    Noise noise(seed);
    const double cx = width * 0.62, cy = height * 0.4, radius = height * 0.22;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            double r = 70 + 120 * v, g = 120 + 90 * v, b = 230 - 60 * v;
            if (v > 0.65) { // ground: brown with a fine texture
                const double t = 20 * std::sin(x * 0.35 + 3 * std::sin(y * 0.11)) * noise.Uniform();
                r = 120 + 60 * u + t, g = 90 + 30 * u + t, b = 50 + t * 0.5;
            }
            const double dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy);
            if (d < radius) { // sphere with a highlight
                const double light = std::max(
                    0.0, 1 - std::hypot(dx + radius * 0.4, dy + radius * 0.4) / (1.6 * radius));
                r = 200 * light + 40, g = 40 + 60 * light, b = 60 + 30 * light;
            }
            if (u > 0.1 && u < 0.3 && v > 0.3 && v < 0.8) r = 30, g = 150 + 60 * v, b = 70;
            if (u > 0.8 && v > 0.72 && v < 0.9) r = 240, g = 220, b = 40 + 100 * u;
            const double n = 4 * noise.Next();
            p.pixels[size_t(y) * width + x] = {Clamp(r + n), Clamp(g + n * 0.8),
                                               Clamp(b + n * 1.1)};
        }
    }
    return p;
}

// Diagonal colour ramps across the whole cube, with noise: hard for any 256 colours.
Picture Ramps(const char* name, int width, int height, uint32_t seed) {
    Picture p{name, width, height, std::vector<Rgb>(size_t(width) * height)};
    Noise noise(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            const double n = 3 * noise.Next();
            p.pixels[size_t(y) * width + x] = {Clamp(255 * u + n), Clamp(255 * v + n),
                                               Clamp(128 + 127 * std::sin(6.28 * (u + v)) + n)};
        }
    return p;
}

Reduced Ours(const Picture& p, int level, bool dither) {
    tovn::quant::Options o;
    o.level = level;
    o.dither = dither;
    return tovn::quant::Quantize(p.pixels.data(), p.width, p.height, o);
}

template <typename T, void (*Free)(T*)> struct Deleter {
    void operator()(T* x) const { Free(x); }
};
using Attr = std::unique_ptr<liq_attr, Deleter<liq_attr, liq_attr_destroy>>;
using Image = std::unique_ptr<liq_image, Deleter<liq_image, liq_image_destroy>>;
using LiqResult = std::unique_ptr<liq_result, Deleter<liq_result, liq_result_destroy>>;

Reduced Theirs(const Picture& p, bool dither) {
    std::vector<liq_color> rgba(p.pixels.size());
    for (size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = {p.pixels[i].r, p.pixels[i].g, p.pixels[i].b, 255};
    Attr attr(liq_attr_create());
    Image image(liq_image_create_rgba(attr.get(), rgba.data(), p.width, p.height, 0));
    liq_result* raw = nullptr;
    if (liq_image_quantize(image.get(), attr.get(), &raw) != LIQ_OK) return {};
    LiqResult result(raw);
    liq_set_dithering_level(result.get(), dither ? 1.0f : 0.0f);
    Reduced out;
    out.indices.resize(p.pixels.size());
    liq_write_remapped_image(result.get(), image.get(), out.indices.data(), out.indices.size());
    const liq_palette* pal = liq_get_palette(result.get());
    for (unsigned i = 0; i < pal->count; ++i)
        out.palette.push_back({pal->entries[i].r, pal->entries[i].g, pal->entries[i].b});
    return out;
}

struct Measure {
    double error = 0;
    double cpuMs = 1e30;  // processor time of all threads (libimagequant runs several)
    double wallMs = 1e30; // elapsed time
};

// Best times of a few runs (the machine is shared); the error of the last.
Measure Time(const Picture& p, const std::function<Reduced()>& run) {
    Measure m;
    for (int i = 0; i < 3; ++i) {
        const std::clock_t cpuStart = std::clock();
        const auto start = std::chrono::steady_clock::now();
        const Reduced r = run();
        const auto stop = std::chrono::steady_clock::now();
        const std::clock_t cpuStop = std::clock();
        m.wallMs =
            std::min(m.wallMs, std::chrono::duration<double, std::milli>(stop - start).count());
        m.cpuMs = std::min(m.cpuMs, 1000.0 * double(cpuStop - cpuStart) / CLOCKS_PER_SEC);
        m.error = r.indices.empty() ? NAN : tovn::quant::MeanSquaredError(p.pixels.data(), r);
    }
    return m;
}

} // namespace

int main() {
    const Picture pictures[] = {
        Scene("scene 640x400", 640, 400, 1), Scene("scene 1024x768", 1024, 768, 2),
        Ramps("ramps 640x400", 640, 400, 3), Ramps("ramps 1024x768", 1024, 768, 4)};
    std::printf("error: mean squared RGB error per pixel; cpu, wall: best of 3, in ms;\n"
                "x: ratio ours / libimagequant (default quality, dithering 1.0 or 0)\n");
    std::printf("%-15s %-3s %-5s %8s %7s %7s | %8s %7s %7s | %6s %6s %6s\n", "picture", "dit",
                "level", "error", "cpu", "wall", "liq err", "cpu", "wall", "err x", "cpu x",
                "wall x");
    for (const Picture& p : pictures) {
        for (bool dither : {false, true}) {
            const Measure theirs = Time(p, [&] { return Theirs(p, dither); });
            for (int level : {4, 6, 8}) {
                const Measure ours = Time(p, [&] { return Ours(p, level, dither); });
                std::printf("%-15s %-3s %-5d %8.3f %7.1f %7.1f | %8.3f %7.1f %7.1f | %6.4f %6.3f "
                            "%6.3f\n",
                            p.name, dither ? "yes" : "no", level, ours.error, ours.cpuMs,
                            ours.wallMs, theirs.error, theirs.cpuMs, theirs.wallMs,
                            ours.error / theirs.error, ours.cpuMs / theirs.cpuMs,
                            ours.wallMs / theirs.wallMs);
            }
        }
    }
    return 0;
}
