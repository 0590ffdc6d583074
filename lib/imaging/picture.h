// The one picture type every decoder produces and the MAG encoder consumes.
#pragma once
#include "imaging/bmp.h"
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace tovn::imaging {

using Rgb = bmp::Rgb;

struct Picture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 8;        // 4 or 8 (palette indices) or 24 (true colour)
    std::vector<Rgb> palette;    // 16 or 256 entries for 4 and 8 bits, empty for 24
    std::vector<uint8_t> pixels; // top row first; one index per pixel, or R, G, B for 24 bits
    int left = 0;                // place inside the screen the picture was saved from
    int top = 0;
    bool tallDots = false; // 200-line picture: dots twice as tall as wide
};

enum class Status { Ok, Unsupported, Broken, NoMemory };

struct Decoded {
    Status status = Status::Broken;
    Picture picture;
};

// Thrown by decoders for data that cannot be a valid picture; Decode* turn it into a status.
struct BrokenData : std::runtime_error {
    BrokenData() : std::runtime_error("broken picture data") {}
};

// Pictures larger than this are refused before anything is allocated for them.
constexpr uint64_t kMaxPixels = uint64_t{1} << 24;
// The old formats come from screens of at most 1024 x 1024; their streams can describe
// a huge picture in a few bytes, so they get a tighter bound (still 16 PC-98 screens).
constexpr uint64_t kMaxOldFormatPixels = uint64_t{1} << 22;

// Creates a picture of the given size with zeroed pixels, refusing absurd sizes.
Picture MakePicture(int64_t width, int64_t height, int bitsPerPixel,
                    uint64_t maxPixels = kMaxOldFormatPixels);

// Palettes stored as green, red, blue triples (MAG and MKI).
inline std::vector<Rgb> GrbPalette(const uint8_t* grb, size_t count) {
    std::vector<Rgb> pal(count);
    for (size_t i = 0; i < count; ++i) pal[i] = {grb[3 * i + 1], grb[3 * i], grb[3 * i + 2]};
    return pal;
}

// Runs a decoder body and maps its exceptions to a status.
template <class F> Decoded Guarded(F&& body) {
    Decoded d;
    try {
        d.picture = body();
        d.status = Status::Ok;
    } catch (const BrokenData&) {
        d.status = Status::Broken;
    } catch (const std::bad_alloc&) {
        d.status = Status::NoMemory;
    }
    return d;
}

} // namespace tovn::imaging
