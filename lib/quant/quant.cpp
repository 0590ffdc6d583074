// Colour reduction in two stages:
//  1. Wu's variance-minimising box cuts over a 5- or 6-bit-per-channel colour histogram give
//     a first palette (the moments keep the exact colour sums, so box means are exact);
//  2. k-means passes over the picture's exact colours (weighted by pixel count) move each
//     palette entry to the mean of the colours nearest to it, lowering the squared error.
// A picture with no more distinct colours than allowed keeps its colours exactly.
//
// Level, the speed/quality choice:
//   4 (and below)  up to 4 k-means passes: fastest, a little more error
//   6 (and 5, 7)   up to 8 passes
//   8 (and above)  up to 24 passes, stopping once no palette entry moves: least error
#include "quant/quant.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

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

// Squared distances from a colour to its nearest palette entry and to the next nearest.
struct Nearest {
    int index = 0;
    int dist = 0;
    int64_t second = int64_t{1} << 40; // beyond any real distance
};

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

    // Squared distance from entry k to its closest other entry.
    int Neighbour(int k) const { return neighbour_[size_t(k)]; }

    // hint: an index likely to be close (or -1); ties keep the first found.
    int Find(Rgb c, int hint) const {
        if (hint >= 0 &&
            4 * int64_t{Distance(c, palette_[size_t(hint)])} <= neighbour_[size_t(hint)])
            return hint;
        return Search(c, hint, false).index;
    }

    // The nearest entry and, when wanted, the exact distance to the second nearest.
    Nearest Search(Rgb c, int hint, bool wantSecond) const {
        Nearest n;
        n.index = hint >= 0 ? hint : order_.front().index;
        n.dist = Distance(c, palette_[size_t(n.index)]);
        const int first = n.index;
        const int sum = SumOf(c);
        const auto pos = std::lower_bound(order_.begin(), order_.end(), sum,
                                          [](const Entry& e, int s) { return e.sum < s; });
        // Outwards from pos on both sides, each side ending at its first entry too far away.
        auto up = pos, down = pos;
        bool goUp = true, goDown = true;
        while (goUp || goDown) {
            if (goUp) goUp = up != order_.end() && Consider(*up++, c, sum, first, wantSecond, n);
            if (goDown)
                goDown = down != order_.begin() && Consider(*--down, c, sum, first, wantSecond, n);
        }
        return n;
    }

private:
    struct Entry {
        int sum;
        int index;
    };
    static int SumOf(Rgb c) { return c.r + c.g + c.b; }

    // Tests one entry; false when it, and so everything beyond it, is too far to matter.
    bool Consider(const Entry& e, Rgb c, int sum, int first, bool wantSecond, Nearest& n) const {
        const int64_t s = e.sum - sum;
        if (s * s >= 3 * (wantSecond ? n.second : int64_t{n.dist})) return false;
        if (e.index == first) return true;
        const int d = Distance(c, palette_[size_t(e.index)]);
        if (d < n.dist) {
            n.second = n.dist;
            n.dist = d;
            n.index = e.index;
        } else if (d < n.second) {
            n.second = d;
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
    // Many colours get 64 cells per channel; a few thousand are cut as well with 32, and
    // the smaller table is quicker to clear and sum.
    explicit WuCuts(const ColorList& colors)
        : shift_(colors.keys.size() > 16384 ? 2 : 3), side_((256 >> shift_) + 1),
          cells_(size_t(side_) * side_ * side_) {
        for (size_t i = 0; i < colors.keys.size(); ++i) {
            const Rgb c = Unpack(colors.keys[i]);
            const int64_t w = colors.counts[i];
            Moments& m = cells_[CellOf(c)];
            m.w += w;
            m.r += w * c.r;
            m.g += w * c.g;
            m.b += w * c.b;
            m.m2 += double(w) * (c.r * c.r + c.g * c.g + c.b * c.b);
        }
        // Prefix sums along each axis turn the cells into cumulative moments.
        const int strides[3] = {side_ * side_, side_, 1};
        for (int stride : strides) {
            for (int r = 1; r < side_; ++r)
                for (int g = 1; g < side_; ++g)
                    for (int b = 1; b < side_; ++b) {
                        const size_t i = At(r, g, b);
                        cells_[i] += cells_[i - stride];
                    }
        }
    }

    // Up to maxBoxes populated boxes; fewer when the histogram cannot be cut further.
    std::vector<Box> Boxes(int maxBoxes) const {
        std::vector<Box> boxes(1);
        boxes[0].hi = {side_ - 1, side_ - 1, side_ - 1};
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
        return boxes;
    }

    // The mean colour of each box.
    std::vector<Rgb> Means(const std::vector<Box>& boxes) const {
        std::vector<Rgb> means;
        for (const Box& box : boxes) {
            const Moments m = Sum(box);
            means.push_back(m.w ? Rgb{Mean(m.r, m.w), Mean(m.g, m.w), Mean(m.b, m.w)} : Rgb{});
        }
        return means;
    }

    // For every colour, the box that holds it.
    std::vector<int> Labels(const std::vector<Box>& boxes, const ColorList& colors) const {
        std::vector<int> cellBox(cells_.size(), 0);
        for (size_t k = 0; k < boxes.size(); ++k) {
            const Box& x = boxes[k];
            for (int r = x.lo[0] + 1; r <= x.hi[0]; ++r)
                for (int g = x.lo[1] + 1; g <= x.hi[1]; ++g)
                    for (int b = x.lo[2] + 1; b <= x.hi[2]; ++b) cellBox[At(r, g, b)] = int(k);
        }
        std::vector<int> labels(colors.keys.size());
        for (size_t i = 0; i < labels.size(); ++i)
            labels[i] = cellBox[CellOf(Unpack(colors.keys[i]))];
        return labels;
    }

private:
    size_t At(int r, int g, int b) const { return (size_t(r) * side_ + g) * side_ + b; }
    size_t CellOf(Rgb c) const {
        return At((c.r >> shift_) + 1, (c.g >> shift_) + 1, (c.b >> shift_) + 1);
    }
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

    int shift_; // colour value to cell: value >> shift_, plus the border
    int side_;  // cells per channel, border included
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

// Lloyd's k-means over the distinct colours, weighted by pixel count. Each colour keeps an
// upper bound on the distance to its entry and a lower bound on the distance to any other
// (Hamerly's bounds); while the first stays below the second, or below half the distance
// from its entry to the closest other, the colour cannot change entry and is not searched.
class KMeans {
public:
    // hints: an entry near each colour to start from.
    KMeans(const ColorList& colors, std::vector<Rgb>& palette, std::vector<int> hints)
        : colors_(colors), palette_(palette), assign_(std::move(hints)),
          upper_(colors.keys.size(), std::numeric_limits<double>::max()),
          lower_(colors.keys.size(), 0) {}

    // One pass: assign, then move every used entry to its colours' mean. True when one moved.
    bool Pass() {
        Assign();
        const std::vector<Rgb> before = palette_;
        MoveToMeans();
        std::vector<double> moved(palette_.size());
        double most = 0;
        for (size_t k = 0; k < palette_.size(); ++k) {
            moved[k] = std::sqrt(double(Distance(before[k], palette_[k])));
            most = std::max(most, moved[k]);
        }
        for (size_t i = 0; i < assign_.size(); ++i) {
            upper_[i] += moved[size_t(assign_[i])];
            lower_[i] -= most;
        }
        return most > 0;
    }

    // The entry of every colour for hints: exact as of the last assignment.
    const std::vector<int>& Assignment() const { return assign_; }

private:
    void Assign() {
        const NearestFinder finder(palette_);
        for (size_t i = 0; i < assign_.size(); ++i) {
            const Rgb c = Unpack(colors_.keys[i]);
            const int a = assign_[i];
            if (a >= 0) {
                const double bound =
                    std::max(std::sqrt(double(finder.Neighbour(a))) / 2, lower_[i]);
                if (upper_[i] <= bound) continue;
                upper_[i] = std::sqrt(double(Distance(c, palette_[size_t(a)])));
                if (upper_[i] <= bound) continue;
            }
            const Nearest n = finder.Search(c, a, true);
            assign_[i] = n.index;
            upper_[i] = std::sqrt(double(n.dist));
            lower_[i] = std::sqrt(double(n.second));
        }
    }

    void MoveToMeans() {
        struct Sums {
            int64_t w = 0, r = 0, g = 0, b = 0;
        };
        std::vector<Sums> sums(palette_.size());
        for (size_t i = 0; i < assign_.size(); ++i) {
            const Rgb c = Unpack(colors_.keys[i]);
            const int64_t w = colors_.counts[i];
            Sums& s = sums[size_t(assign_[i])];
            s.w += w, s.r += w * c.r, s.g += w * c.g, s.b += w * c.b;
        }
        for (size_t k = 0; k < palette_.size(); ++k) {
            const Sums& s = sums[k];
            if (s.w == 0) continue; // an entry nobody uses keeps its place
            palette_[k] = Rgb{uint8_t((s.r + s.w / 2) / s.w), uint8_t((s.g + s.w / 2) / s.w),
                              uint8_t((s.b + s.w / 2) / s.w)};
        }
    }

    const ColorList& colors_;
    std::vector<Rgb>& palette_;
    std::vector<int> assign_;
    std::vector<double> upper_, lower_;
};

int Passes(int level) {
    if (level >= 8) return 24;
    if (level >= 6) return 8;
    return 4;
}

struct Palette {
    std::vector<Rgb> colors;
    std::vector<int> hints; // per distinct colour, an entry near it
};

Palette BuildPalette(const ColorList& colors, int maxColors, int level) {
    const WuCuts wu(colors);
    const std::vector<Box> boxes = wu.Boxes(maxColors);
    Palette p{wu.Means(boxes), {}};
    FillPalette(p.colors, colors, std::min(size_t(maxColors), colors.keys.size()));
    KMeans kmeans(colors, p.colors, wu.Labels(boxes, colors));
    for (int pass = Passes(level); pass > 0 && kmeans.Pass(); --pass) {}
    p.hints = kmeans.Assignment();
    return p;
}

// ---- mapping pixels to the palette -------------------------------------------------

std::vector<uint8_t> MapPlain(const Rgb* pixels, size_t n, const Palette& palette,
                              const ColorList& colors) {
    const NearestFinder finder(palette.colors);
    std::vector<int> assign(colors.keys.size());
    for (size_t i = 0; i < assign.size(); ++i)
        assign[i] = finder.Find(Unpack(colors.keys[i]), palette.hints[i]);
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

// The share of an accumulated error (in sixteenths) that a pixel takes on. Diffusing only
// part of it, and no more than a bounded amount, keeps gradients smooth while sparing
// noisy areas and edges the speckle and smearing that full diffusion brings.
int Carried(int sixteenths) {
    constexpr int kMaxCarried = 32;
    return std::clamp(sixteenths * 3 / 64, -kMaxCarried, kMaxCarried); // three quarters
}

// Floyd-Steinberg error diffusion in serpentine order, damped (see Carried). Errors are kept
// in sixteenths.
std::vector<uint8_t> MapDithered(const Rgb* pixels, int width, int height,
                                 const std::vector<Rgb>& palette) {
    const NearestFinder finder(palette);
    std::vector<uint8_t> indices(size_t(width) * height);
    // One row of errors for the current row and one for the next, with a cell of margin
    // on each side so that the edge pixels need no tests of their own.
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
            const Rgb want{Clamp(pixels[i].r + Carried(e[0])), Clamp(pixels[i].g + Carried(e[1])),
                           Clamp(pixels[i].b + Carried(e[2]))};
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
    const Palette palette = BuildPalette(colors, maxColors, options.level);
    result.indices = options.dither ? MapDithered(pixels, width, height, palette.colors)
                                    : MapPlain(pixels, n, palette, colors);
    result.palette = palette.colors;
    return result;
}

double MeanSquaredError(const Rgb* pixels, const Result& result) {
    if (result.indices.empty()) return 0;
    double sum = 0;
    for (size_t i = 0; i < result.indices.size(); ++i)
        sum += Distance(pixels[i], result.palette[result.indices[i]]);
    return sum / double(result.indices.size());
}

} // namespace tovn::quant
