// Pictures for the editor's tests: a MAG picture of coloured blocks, and the pixels of MAG
// files as colours.
#pragma once
#include "imaging/mag.h"
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tovn::test {

// A 16-colour picture of blocks: palette entry ((x / 40) + (y / 50)) % 16.
inline imaging::Picture BlockPicture(int width, int height) {
    imaging::Picture p;
    p.width = width, p.height = height, p.bitsPerPixel = 4;
    for (int i = 0; i < 16; ++i)
        p.palette.push_back({uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t((i * 97) & 0xF0)});
    p.pixels.resize(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.pixels[size_t(y) * width + x] = uint8_t((x / 40 + y / 50) % 16);
    return p;
}

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

inline bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f << bytes;
    return bool(f);
}

inline bool WriteMagFile(const std::string& path, const imaging::Picture& p) {
    std::vector<uint8_t> mag = imaging::EncodeMag(p);
    return !mag.empty() && WriteFileBytes(path, std::string(mag.begin(), mag.end()));
}

inline imaging::Decoded DecodeMagFile(const std::string& path) {
    std::string bytes = ReadFileBytes(path);
    return imaging::DecodeMag(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// A palette picture's pixels as 0x00RRGGBB, top row first.
inline std::vector<uint32_t> PixelsOfPicture(const imaging::Picture& p) {
    std::vector<uint32_t> out;
    for (uint8_t i : p.pixels) {
        const imaging::Rgb& c = p.palette.at(i);
        out.push_back(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
    }
    return out;
}

// Empty when the file is no MAG picture.
inline std::vector<uint32_t> MagPixels(const std::string& path) {
    imaging::Decoded d = DecodeMagFile(path);
    return d.status == imaging::Status::Ok ? PixelsOfPicture(d.picture) : std::vector<uint32_t>{};
}

} // namespace tovn::test
