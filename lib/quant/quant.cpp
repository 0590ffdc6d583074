// Colour reduction in two stages:
//  1. Wu's variance-minimising box cuts over a 6-bit-per-channel colour histogram give a first
//     palette (the moments keep the exact colour sums, so box means are exact);
//  2. k-means passes over the picture's exact colours (weighted by pixel count) move each
//     palette entry to the mean of the colours nearest to it, lowering the squared error.
// A picture with no more distinct colours than allowed keeps its colours exactly.
//
// Level, the speed/quality choice:
//   4 (and below)  up to 3 k-means passes: fastest, a little more error
//   6 (and 5, 7)   up to 8 passes
//   8 (and above)  up to 24 passes, stopping once no palette entry moves: least error
#include "quant/quant.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>

namespace tovn::quant {
namespace {

// Pictures beyond this are refused (empty result) rather than allocated for.
constexpr size_t kMaxPixels = size_t{1} << 28;

uint32_t Pack(Rgb c) {
    return uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b;
}
Rgb Unpack(uint32_t key) {
    return Rgb{uint8_t(key >> 16), uint8_t(key >> 8), uint8_t(key)};
}

int Distance(Rgb a, Rgb b) {
    int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr + dg * dg + db * db;
}

// The picture's distinct colours in ascending packed order, with their pixel counts.
struct ColorList {
    std::vector<uint32_t> keys;
    std::vector<uint32_t> counts;

    size_t IndexOf(uint32_t key) const {
        return size_t(std::lower_bound(keys.begin(), keys.end(), key) - keys.begin());
    }
};

// Least-significant-digit radix sort of 24-bit keys: linear time for any picture size.
void SortKeys(std::vector<uint32_t>& keys) {
    std::vector<uint32_t> scratch(keys.size());
    for (int shift = 0; shift < 24; shift += 8) {
        std::array<size_t, 257> start{};
        for (uint32_t k : keys) ++start[((k >> shift) & 0xFF) + 1];
        for (int i = 0; i < 256; ++i) start[i + 1] += start[i];
        for (uint32_t k : keys) scratch[start[(k >> shift) & 0xFF]++] = k;
        keys.swap(scratch);
    }
}

ColorList CountColors(const Rgb* pixels, size_t n) {
    std::vector<uint32_t> sorted(n);
    for (size_t i = 0; i < n; ++i) sorted[i] = Pack(pixels[i]);
    SortKeys(sorted);
    ColorList list;
    for (size_t i = 0; i < n;) {
        size_t j = i;
        while (j < n && sorted[j] == sorted[i]) ++j;
        list.keys.push_back(sorted[i]);
        list.counts.push_back(uint32_t(j - i));
        i = j;
    }
    return list;
}

// Exact nearest palette entry by squared RGB distance. A hint within half the distance from
// itself to its closest neighbour entry is the answer outright. Otherwise entries sorted by
// r+g+b are searched outwards: since (Σd)² ≤ 3·Σd², a candidate whose sum differs by s from
// the query is at least s²/3 away, which ends the search in either direction.
class NearestFinder {
public:
    explicit NearestFinder(const std::vector<Rgb>& palette)
        : palette_(palette), neighbour_(palette.size(), std::numeric_limits<int>::max()) {
        order_.reserve(palette.size());
        for (size_t i = 0; i < palette.size(); ++i) {
            order_.push_back({SumOf(palette[i]), int(i)});
            for (size_t j = 0; j < i; ++j) {
                const int d = Distance(palette[i], palette[j]);
                neighbour_[i] = std::min(neighbour_[i], d);
                neighbour_[j] = std::min(neighbour_[j], d);
            }
        }
        std::sort(order_.begin(), order_.end(),
                  [](const Entry& a, const Entry& b) { return a.sum < b.sum; });
    }

    // hint: an index likely to be close (or -1); ties keep the first found.
    int Find(Rgb c, int hint) const {
        int best = hint >= 0 ? hint : order_.front().index;
        int bestDist = Distance(c, palette_[best]);
        if (hint >= 0 && 4 * int64_t{bestDist} <= neighbour_[size_t(hint)]) return hint;
        const int sum = SumOf(c);
        auto pos = std::lower_bound(order_.begin(), order_.end(), sum,
                                    [](const Entry& e, int s) { return e.sum < s; });
        auto up = pos;
        auto down = pos;
        bool goUp = true, goDown = true;
        while (goUp || goDown) {
            if (goUp) goUp = Consider(up, c, sum, best, bestDist, +1);
            if (goDown) goDown = Consider(down, c, sum, best, bestDist, -1);
        }
        return best;
    }

private:
    struct Entry {
        int sum;
        int index;
    };
    static int SumOf(Rgb c) { return c.r + c.g + c.b; }

    // Tests the entry at `it` (moving it by step afterwards); false once that side is done.
    bool Consider(std::vector<Entry>::const_iterator& it, Rgb c, int sum, int& best, int& bestDist,
                  int step) const {
        if (step < 0) {
            if (it == order_.begin()) return false;
            --it;
        } else if (it == order_.end()) {
            return false;
        }
        const Entry& e = *it;
        if (step > 0) ++it;
        const int s = e.sum - sum;
        if (s * s >= 3 * bestDist) return false;
        const int d = Distance(c, palette_[e.index]);
        if (d < bestDist) {
            bestDist = d;
            best = e.index;
        }
        return true;
    }

    const std::vector<Rgb>& palette_;
    std::vector<int> neighbour_; // squared distance from each entry to its closest other
    std::vector<Entry> order_;
};

// ---- Wu's box cuts ---------------------------------------------------------------------

struct Moments {
    int64_t w = 0, r = 0, g = 0, b = 0;
    double m2 = 0;

    Moments& operator+=(const Moments& o) {
        w += o.w, r += o.r, g += o.g, b += o.b, m2 += o.m2;
        return *this;
    }
    Moments& operator-=(const Moments& o) {
        w -= o.w, r -= o.r, g -= o.g, b -= o.b, m2 -= o.m2;
        return *this;
    }
    // Squared length of the colour sum over the weight: the part of Σ|c|² that the box's
    // mean explains. Larger is better when choosing a cut.
    double Explained() const {
        if (w == 0) return 0;
        return (double(r) * r + double(g) * g + double(b) * b) / double(w);
    }
    double Variance() const { return m2 - Explained(); }
};

// Bounds per channel in histogram cells: lo exclusive, hi inclusive.
struct Box {
    std::array<int, 3> lo{}, hi{};
};

class WuCuts {
public:
    static constexpr int kSide = 65; // 64 cells per channel and a zero border

    explicit WuCuts(const ColorList& colors) : cells_(size_t(kSide) * kSide * kSide) {
        for (size_t i = 0; i < colors.keys.size(); ++i) {
            const Rgb c = Unpack(colors.keys[i]);
            const int64_t w = colors.counts[i];
            Moments& m = cells_[At(c.r / 4 + 1, c.g / 4 + 1, c.b / 4 + 1)];
            m.w += w;
            m.r += w * c.r;
            m.g += w * c.g;
            m.b += w * c.b;
            m.m2 += double(w) * (c.r * c.r + c.g * c.g + c.b * c.b);
        }
        // Prefix sums along each axis turn the cells into cumulative moments.
        const int strides[3] = {kSide * kSide, kSide, 1};
        for (int stride : strides) {
            for (int r = 1; r < kSide; ++r)
                for (int g = 1; g < kSide; ++g)
                    for (int b = 1; b < kSide; ++b) {
                        const size_t i = At(r, g, b);
                        cells_[i] += cells_[i - stride];
                    }
        }
    }

    // Up to maxBoxes box means; fewer when the histogram cannot be cut further.
    std::vector<Rgb> Palette(int maxBoxes) const {
        std::vector<Box> boxes(1);
        boxes[0].hi = {kSide - 1, kSide - 1, kSide - 1};
        std::vector<double> variance{Sum(boxes[0]).Variance()};
        while (int(boxes.size()) < maxBoxes) {
            const size_t next =
                size_t(std::max_element(variance.begin(), variance.end()) - variance.begin());
            if (variance[next] <= 0) break;
            Box upper;
            if (!Cut(boxes[next], upper)) {
                variance[next] = 0;
                continue;
            }
            boxes.push_back(upper);
            variance[next] = Sum(boxes[next]).Variance();
            variance.push_back(Sum(upper).Variance());
        }
        std::vector<Rgb> palette;
        for (const Box& box : boxes) {
            const Moments m = Sum(box);
            if (m.w == 0) continue;
            palette.push_back(Rgb{Mean(m.r, m.w), Mean(m.g, m.w), Mean(m.b, m.w)});
        }
        return palette;
    }

private:
    static size_t At(int r, int g, int b) { return (size_t(r) * kSide + g) * kSide + b; }
    static uint8_t Mean(int64_t sum, int64_t w) { return uint8_t((sum + w / 2) / w); }

    Moments Sum(const Box& x) const {
        Moments m = cells_[At(x.hi[0], x.hi[1], x.hi[2])];
        m -= cells_[At(x.hi[0], x.hi[1], x.lo[2])];
        m -= cells_[At(x.hi[0], x.lo[1], x.hi[2])];
        m += cells_[At(x.hi[0], x.lo[1], x.lo[2])];
        m -= cells_[At(x.lo[0], x.hi[1], x.hi[2])];
        m += cells_[At(x.lo[0], x.hi[1], x.lo[2])];
        m += cells_[At(x.lo[0], x.lo[1], x.hi[2])];
        m -= cells_[At(x.lo[0], x.lo[1], x.lo[2])];
        return m;
    }

    // Splits box at the plane that leaves the least total variance; box keeps the lower
    // part, upper receives the rest. False when no cut leaves both parts populated.
    bool Cut(Box& box, Box& upper) const {
        const Moments whole = Sum(box);
        double bestScore = -1;
        int bestAxis = -1, bestPos = 0;
        for (int axis = 0; axis < 3; ++axis) {
            for (int pos = box.lo[axis] + 1; pos < box.hi[axis]; ++pos) {
                Box lower = box;
                lower.hi[axis] = pos;
                const Moments part = Sum(lower);
                Moments rest = whole;
                rest -= part;
                if (part.w == 0 || rest.w == 0) continue;
                const double score = part.Explained() + rest.Explained();
                if (score > bestScore) {
                    bestScore = score;
                    bestAxis = axis;
                    bestPos = pos;
                }
            }
        }
        if (bestAxis < 0) return false;
        upper = box;
        upper.lo[bestAxis] = bestPos;
        box.hi[bestAxis] = bestPos;
        return true;
    }

    std::vector<Moments> cells_;
};

// ---- k-means refinement ----------------------------------------------------------------

// Adds palette entries at the colours worst served so far (by count × distance) until the
// palette has `target` entries; used when the histogram cells held fewer boxes than wanted.
void FillPalette(std::vector<Rgb>& palette, const ColorList& colors, size_t target) {
    const size_t n = colors.keys.size();
    std::vector<double> cost(n, std::numeric_limits<double>::max());
    size_t done = 0;
    while (palette.size() < target) {
        for (; done < palette.size(); ++done)
            for (size_t i = 0; i < n; ++i)
                cost[i] = std::min(cost[i], double(colors.counts[i]) *
                                                Distance(Unpack(colors.keys[i]), palette[done]));
        const size_t worst = size_t(std::max_element(cost.begin(), cost.end()) - cost.begin());
        if (cost[worst] <= 0) break;
        palette.push_back(Unpack(colors.keys[worst]));
    }
}

struct Sums {
    int64_t w = 0, r = 0, g = 0, b = 0;
};

// Assigns every colour to its nearest entry (assign holds hints and receives results).
void Assign(const std::vector<Rgb>& palette, const ColorList& colors, std::vector<int>& assign) {
    const NearestFinder finder(palette);
    for (size_t i = 0; i < colors.keys.size(); ++i)
        assign[i] = finder.Find(Unpack(colors.keys[i]), assign[i]);
}

// One k-means pass; true when some entry moved.
bool Refine(std::vector<Rgb>& palette, const ColorList& colors, std::vector<int>& assign) {
    Assign(palette, colors, assign);
    std::vector<Sums> sums(palette.size());
    for (size_t i = 0; i < colors.keys.size(); ++i) {
        const Rgb c = Unpack(colors.keys[i]);
        const int64_t w = colors.counts[i];
        Sums& s = sums[size_t(assign[i])];
        s.w += w, s.r += w * c.r, s.g += w * c.g, s.b += w * c.b;
    }
    bool moved = false;
    for (size_t k = 0; k < palette.size(); ++k) {
        const Sums& s = sums[k];
        if (s.w == 0) continue; // an entry nobody uses keeps its place
        const Rgb mean{uint8_t((s.r + s.w / 2) / s.w), uint8_t((s.g + s.w / 2) / s.w),
                       uint8_t((s.b + s.w / 2) / s.w)};
        moved = moved || Pack(mean) != Pack(palette[k]);
        palette[k] = mean;
    }
    return moved;
}

int Passes(int level) {
    if (level >= 8) return 24;
    if (level >= 6) return 8;
    return 3;
}

std::vector<Rgb> BuildPalette(const ColorList& colors, int maxColors, int level) {
    std::vector<Rgb> palette = WuCuts(colors).Palette(maxColors);
    FillPalette(palette, colors, std::min(size_t(maxColors), colors.keys.size()));
    std::vector<int> assign(colors.keys.size(), -1);
    for (int pass = Passes(level); pass > 0 && Refine(palette, colors, assign); --pass) {}
    return palette;
}

// ---- mapping pixels to the palette -------------------------------------------------

std::vector<uint8_t> MapPlain(const Rgb* pixels, size_t n, const std::vector<Rgb>& palette,
                              const ColorList& colors) {
    std::vector<int> assign(colors.keys.size(), -1);
    Assign(palette, colors, assign);
    std::vector<uint8_t> indices(n);
    uint32_t lastKey = 0;
    int lastIndex = -1;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t key = Pack(pixels[i]);
        if (lastIndex < 0 || key != lastKey) {
            lastKey = key;
            lastIndex = assign[colors.IndexOf(key)];
        }
        indices[i] = uint8_t(lastIndex);
    }
    return indices;
}

uint8_t Clamp(int v) {
    return uint8_t(std::clamp(v, 0, 255));
}

// Floyd-Steinberg error diffusion in serpentine order. Errors are kept in sixteenths.
std::vector<uint8_t> MapDithered(const Rgb* pixels, int width, int height,
                                 const std::vector<Rgb>& palette) {
    const NearestFinder finder(palette);
    std::vector<uint8_t> indices(size_t(width) * height);
    // One row of errors for the current row and one for the next, with a cell of margin
    // on each side so that the edge pixels need no special cases.
    std::vector<std::array<int, 3>> cur(size_t(width) + 2), next(size_t(width) + 2);
    int hint = -1;
    for (int y = 0; y < height; ++y) {
        std::fill(next.begin(), next.end(), std::array<int, 3>{});
        const bool forward = y % 2 == 0;
        const int dir = forward ? 1 : -1;
        for (int step = 0; step < width; ++step) {
            const int x = forward ? step : width - 1 - step;
            const size_t i = size_t(y) * width + x;
            const std::array<int, 3>& e = cur[size_t(x) + 1];
            const Rgb want{Clamp(pixels[i].r + e[0] / 16), Clamp(pixels[i].g + e[1] / 16),
                           Clamp(pixels[i].b + e[2] / 16)};
            hint = finder.Find(want, hint);
            indices[i] = uint8_t(hint);
            const Rgb got = palette[size_t(hint)];
            const int err[3] = {want.r - got.r, want.g - got.g, want.b - got.b};
            for (int ch = 0; ch < 3; ++ch) {
                cur[size_t(x + dir) + 1][ch] += err[ch] * 7;
                next[size_t(x - dir) + 1][ch] += err[ch] * 3;
                next[size_t(x) + 1][ch] += err[ch] * 5;
                next[size_t(x + dir) + 1][ch] += err[ch];
            }
        }
        cur.swap(next);
    }
    return indices;
}

} // namespace

Result Quantize(const Rgb* pixels, int width, int height, const Options& options) {
    Result result;
    if (pixels == nullptr || width <= 0 || height <= 0) return result;
    const size_t n = size_t(width) * size_t(height);
    if (n / size_t(width) != size_t(height) || n > kMaxPixels) return result;
    const int maxColors = std::clamp(options.maxColors, 2, 256);

    const ColorList colors = CountColors(pixels, n);
    if (colors.keys.size() <= size_t(maxColors)) {
        // Few enough colours: the palette is the picture's own colours, nothing is lost.
        for (uint32_t key : colors.keys) result.palette.push_back(Unpack(key));
        result.indices.resize(n);
        for (size_t i = 0; i < n; ++i) result.indices[i] = uint8_t(colors.IndexOf(Pack(pixels[i])));
        return result;
    }
    result.palette = BuildPalette(colors, maxColors, options.level);
    result.indices = options.dither ? MapDithered(pixels, width, height, result.palette)
                                    : MapPlain(pixels, n, result.palette, colors);
    return result;
}

} // namespace tovn::quant
