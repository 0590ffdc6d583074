#include "imaging/bmp_to_mag.h"
#include "imaging/bytes.h"
#include "imaging/mag.h"
#include "quant/quant.h"
#include <algorithm>

namespace tovn::imaging {
namespace {

const uint8_t* Row(const uint8_t* data, const bmp::DibLayout& d, int y) {
    int stored = d.topDown ? y : d.height - 1 - y;
    return data + d.bitsOffset + static_cast<size_t>(stored) * d.stride;
}

void ReadIndices(const uint8_t* data, const bmp::DibLayout& d, Picture& pic) {
    int bits = d.bitCount;
    uint8_t maxIndex = 0;
    for (int y = 0; y < d.height; ++y) {
        const uint8_t* row = Row(data, d, y);
        uint8_t* out = pic.pixels.data() + static_cast<size_t>(y) * d.width;
        for (int x = 0; x < d.width; ++x) {
            size_t bit = static_cast<size_t>(x) * bits;
            out[x] = static_cast<uint8_t>(row[bit / 8] >> (8 - bits - bit % 8) & ((1 << bits) - 1));
            maxIndex = std::max(maxIndex, out[x]);
        }
    }
    bool fits16 = maxIndex < 16 && pic.palette.size() <= 16;
    pic.bitsPerPixel = fits16 ? 4 : 8;
}

void ReadTrueColor(const uint8_t* data, const bmp::DibLayout& d, std::vector<quant::Rgb>& out) {
    int perPixel = d.bitCount / 8;
    for (int y = 0; y < d.height; ++y) {
        const uint8_t* row = Row(data, d, y);
        for (int x = 0; x < d.width; ++x) {
            const uint8_t* p = row + static_cast<size_t>(x) * perPixel;
            if (perPixel == 2) { // 5-5-5
                uint32_t v = bytes::Le16(p);
                auto widen = [](uint32_t c) { return static_cast<uint8_t>(c << 3 | c >> 2); };
                out.push_back({widen(v >> 10 & 31), widen(v >> 5 & 31), widen(v & 31)});
            } else {
                out.push_back({p[2], p[1], p[0]});
            }
        }
    }
}

void Quantize(const uint8_t* data, const bmp::DibLayout& d, Picture& pic) {
    std::vector<quant::Rgb> rgb;
    rgb.reserve(pic.pixels.size());
    ReadTrueColor(data, d, rgb);
    quant::Options options;
    options.level = 8;
    quant::Result r = quant::Quantize(rgb.data(), d.width, d.height, options);
    pic.pixels = std::move(r.indices);
    pic.palette.clear();
    for (const quant::Rgb& c : r.palette) pic.palette.push_back({c.r, c.g, c.b});
    pic.bitsPerPixel = pic.palette.size() <= 16 ? 4 : 8;
}

} // namespace

bool PictureFromBmp(const uint8_t* bytes, size_t size, Picture* out, std::string* error) {
    const std::vector<uint8_t> plain = bmp::PlainBmpFile({bytes, bytes + size});
    const uint8_t* data = plain.data();
    auto d = bmp::ParseBmpFile(data, plain.size());
    if (!d) {
        *error = "not a readable BMP file";
        return false;
    }
    if (d->width > 0x10000 || d->height > 0x10000 ||
        static_cast<uint64_t>(d->width) * d->height > kMaxPixels) {
        *error = "the picture is too large for a MAG file";
        return false;
    }
    Picture pic = MakePicture(d->width, d->height, 8, kMaxPixels);
    if (d->bitCount <= 8) {
        pic.palette = bmp::ColourTable(data, *d);
        ReadIndices(data, *d, pic);
    } else {
        Quantize(data, *d, pic);
    }
    size_t colors = size_t{1} << pic.bitsPerPixel;
    pic.palette.resize(colors);
    *out = std::move(pic);
    return true;
}

MagResult BmpToMag(const uint8_t* data, size_t size) {
    MagResult r;
    Picture pic;
    try {
        if (!PictureFromBmp(data, size, &pic, &r.error)) return r;
        r.file = EncodeMag(pic);
    } catch (const std::bad_alloc&) {
        r.error = "not enough memory";
    } catch (const BrokenData&) {
        r.error = "the picture is too large for a MAG file";
    }
    if (r.file.empty() && r.error.empty()) r.error = "the picture cannot be stored as MAG";
    return r;
}

} // namespace tovn::imaging
