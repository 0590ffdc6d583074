#include "imaging/pi.h"
#include "imaging/bytes.h"
#include "imaging/header_text.h"
#include "imaging/reader.h"

namespace tovn::imaging {
namespace {

using bytes::Be16;

// Per left colour, every colour in most-recently-used order.
class ColorTable {
public:
    explicit ColorTable(int colors) : n_(colors), t_(static_cast<size_t>(colors) * colors) {
        for (int c = 0; c < n_; ++c)
            for (int k = 0; k < n_; ++k) t_[c * n_ + k] = static_cast<uint8_t>((c - k + n_) % n_);
    }
    uint8_t Read(BitReader& in, uint8_t left) {
        int rank = ReadRank(in);
        uint8_t* list = t_.data() + static_cast<size_t>(left % n_) * n_;
        uint8_t v = list[rank];
        for (int k = rank; k > 0; --k) list[k] = list[k - 1];
        list[0] = v;
        return v;
    }

private:
    // `1x` = 0..1; else `0`, up to maxK one-bits ended by a zero (none after the last),
    // then k+1 bits: (2 << k) + v.
    int ReadRank(BitReader& in) const {
        if (in.Bit()) return static_cast<int>(in.Bit());
        int maxK = n_ == 16 ? 2 : 6;
        int k = 0;
        while (k < maxK && in.Bit()) ++k;
        return (2 << k) + static_cast<int>(in.Bits(k + 1));
    }
    int n_;
    std::vector<uint8_t> t_;
};

int ReadPosition(BitReader& in) {
    int q = static_cast<int>(in.Bits(2));
    return q < 3 ? q : 3 + static_cast<int>(in.Bit());
}

// Pixel pairs: k one-bits ended by a zero, then k bits; 1 when k = 0, else 2^k + v.
uint64_t ReadLength(BitReader& in) {
    int k = 0;
    while (in.Bit())
        if (++k > 32) throw BrokenData();
    return k == 0 ? 1 : (uint64_t{1} << k) + in.Bits(k);
}

std::vector<Rgb> DefaultPalette(int colors) {
    std::vector<Rgb> pal(colors);
    for (int i = 0; i < colors; ++i) {
        if (colors == 16) {
            uint8_t level = i < 8 ? 0x77 : 0xFF;
            pal[i] = {static_cast<uint8_t>(i & 2 ? level : 0),
                      static_cast<uint8_t>(i & 4 ? level : 0),
                      static_cast<uint8_t>(i & 1 ? level : 0)};
        } else {
            pal[i] = {static_cast<uint8_t>((i >> 2 & 7) * 0x20),
                      static_cast<uint8_t>((i >> 5 & 7) * 0x20),
                      static_cast<uint8_t>((i & 3) * 0x40)};
        }
    }
    return pal;
}

// The pixels in reading order; `px` has two spare entries for a literal pair at the end.
void DecodePixels(BitReader& in, int width, std::vector<uint8_t>& px, size_t total, int colors) {
    ColorTable table(colors);
    px[0] = table.Read(in, 0);
    px[1] = table.Read(in, px[0]);
    const int64_t w = width;
    size_t p = 0;
    int last = -1;
    while (p < total) {
        int q = ReadPosition(in);
        if (q == last) {
            do {
                px[p] = table.Read(in, px[p - 1]); // a copy always comes first
                px[p + 1] = table.Read(in, px[p]);
                p += 2;
            } while (p < total && in.Bit());
            last = -1;
            continue;
        }
        int64_t distance[] = {0, w, 2 * w, w - 1, w + 1};
        if (q == 0) distance[0] = (p == 0 ? px[0] == px[1] : px[p - 2] == px[p - 1]) ? 2 : 4;
        uint64_t count = std::min<uint64_t>(2 * ReadLength(in), total - p);
        for (uint64_t i = 0; i < count; ++i, ++p) {
            int64_t s = static_cast<int64_t>(p) - distance[q];
            px[p] = s < 0 ? px[s & 1] : px[static_cast<size_t>(s)];
        }
        last = q;
    }
}

Picture Decode(const uint8_t* data, size_t size) {
    size_t at = SkipHeaderText(data, size, 2);
    ByteReader head(data + at, size - at);
    const uint8_t* fixed = head.Take(10);
    uint8_t mode = fixed[0];
    int bits = fixed[3];
    if (bits != 4 && bits != 8) throw BrokenData();
    head.Take(Be16(fixed + 8)); // machine-dependent data
    const uint8_t* size4 = head.Take(4);
    Picture pic = MakePicture(Be16(size4), Be16(size4 + 2), bits);
    pic.tallDots = fixed[1] == 2 && fixed[2] == 1;
    int colors = 1 << bits;
    if (mode & 0x80) {
        pic.palette = DefaultPalette(colors);
    } else {
        const uint8_t* rgb = head.Take(static_cast<size_t>(colors) * 3);
        for (int i = 0; i < colors; ++i)
            pic.palette.push_back({rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]});
    }
    size_t streamAt = at + head.Pos();
    BitReader in(data + streamAt, size - streamAt);
    size_t total = pic.pixels.size();
    std::vector<uint8_t> px(total + 2);
    DecodePixels(in, pic.width, px, total, colors);
    std::copy(px.begin(), px.begin() + static_cast<std::ptrdiff_t>(total), pic.pixels.begin());
    return pic;
}

} // namespace

bool IsPi(const uint8_t* data, size_t size) {
    return data && size >= 2 && data[0] == 'P' && data[1] == 'i';
}

bool LooksLikePi(const uint8_t* data, size_t size) {
    if (!IsPi(data, size)) return false;
    // "Pi" alone is too weak: the text block must end and the depth must be one of ours.
    try {
        size_t at = SkipHeaderText(data, size, 2);
        return size - at > 3 && (data[at + 3] == 4 || data[at + 3] == 8);
    } catch (const BrokenData&) {
        return false;
    }
}

Decoded DecodePi(const uint8_t* data, size_t size) {
    if (!IsPi(data, size)) return {Status::Unsupported, {}};
    return Guarded([&] { return Decode(data, size); });
}

} // namespace tovn::imaging
