// MAG decode (and encode) throughput on full 640 x 400 screens, in MB of pixels per second
// (one byte per pixel).
#include "imaging/mag.h"
#include <chrono>
#include <cstdio>
#include <random>

using namespace tovn::imaging;

namespace {

constexpr int kW = 640, kH = 400;

// Smooth bands with some noise: the mix of copies and literals of a drawn picture.
Picture Drawn(int bits, std::mt19937& rng) {
    Picture p;
    p.width = kW;
    p.height = kH;
    p.bitsPerPixel = bits;
    p.palette.resize(size_t{1} << bits);
    p.pixels.resize(kW * kH);
    int colors = 1 << bits;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            int v = (x / 24 + y / 16 + (x * y) / 5000) % colors;
            if (rng() % 50 == 0) v = static_cast<int>(rng() % colors);
            p.pixels[y * kW + x] = static_cast<uint8_t>(v);
        }
    return p;
}

Picture Noise(int bits, std::mt19937& rng) {
    Picture p = Drawn(bits, rng);
    for (auto& v : p.pixels) v = static_cast<uint8_t>(rng() % (1u << bits));
    return p;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Measure(const char* name, const Picture& p) {
    auto start = std::chrono::steady_clock::now();
    std::vector<uint8_t> file;
    int encodes = 0;
    while (Seconds(start) < 0.5 || encodes < 3) file = EncodeMag(p), ++encodes;
    double encodeTime = Seconds(start) / encodes;

    start = std::chrono::steady_clock::now();
    int decodes = 0;
    size_t checksum = 0;
    while (Seconds(start) < 1.0 || decodes < 5) {
        Decoded d = DecodeMag(file.data(), file.size());
        checksum += d.picture.pixels[decodes % d.picture.pixels.size()];
        ++decodes;
    }
    double decodeTime = Seconds(start) / decodes;
    double mb = kW * kH / 1e6;
    std::printf("%-14s file %7zu bytes  decode %7.1f MB/s  encode %6.1f MB/s  (%zu)\n", name,
                file.size(), mb / decodeTime, mb / encodeTime, checksum % 10);
}

} // namespace

int main() {
    std::mt19937 rng(42);
    Measure("16 drawn", Drawn(4, rng));
    Measure("16 noise", Noise(4, rng));
    Measure("256 drawn", Drawn(8, rng));
    Measure("256 noise", Noise(8, rng));
    return 0;
}
