// HUEDEN32.DLL loaded and called the way the picture viewer calls it: locked movable input
// blocks, eleven arguments, two new movable result blocks that the caller frees.
#include "hueden32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Rgb {
    int r, g, b;
};

class Library {
public:
    Library() : module_(LoadLibraryW(L"HUEDEN32.DLL")) {}
    ~Library() {
        if (module_) FreeLibrary(module_);
    }
    HuedenizeProc Entry() const {
        return module_ ? reinterpret_cast<HuedenizeProc>(
                             reinterpret_cast<void*>(GetProcAddress(module_, "Huedenize")))
                       : nullptr;
    }

private:
    HMODULE module_;
};

// A movable block, locked while it lives (the viewer passes its blocks locked).
class Block {
public:
    explicit Block(const std::vector<uint8_t>& bytes)
        : handle_(GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size())) {
        data_ = static_cast<uint8_t*>(GlobalLock(handle_));
        std::memcpy(data_, bytes.data(), bytes.size());
    }
    ~Block() {
        GlobalUnlock(handle_);
        GlobalFree(handle_);
    }
    HGLOBAL* handle() { return &handle_; }
    UINT locks() const { return GlobalFlags(handle_) & GMEM_LOCKCOUNT; }

private:
    HGLOBAL handle_;
    uint8_t* data_;
};

// A result block taken over from the library: locked for reading, then freed.
class Result {
public:
    explicit Result(HGLOBAL h) : handle_(h), data_(static_cast<uint8_t*>(GlobalLock(h))) {}
    ~Result() {
        if (!handle_) return;
        GlobalUnlock(handle_);
        GlobalFree(handle_);
    }
    const uint8_t* data() const { return data_; }
    size_t size() const { return GlobalSize(handle_); }
    bool movable() const { return data_ != static_cast<void*>(handle_); }

private:
    HGLOBAL handle_;
    uint8_t* data_;
};

struct Picture {
    int width, height;
    std::vector<Rgb> pixels; // top row first
};

Picture Photo(int width, int height) {
    Picture p{width, height, {}};
    uint32_t seed = 5;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int n = int(seed >> 29);
            p.pixels.push_back({x * 255 / width, y * 255 / height, (x ^ y) % 64 + n});
        }
    return p;
}

// Header and bits of a 24- or 32-bit DIB (a negative height for rows stored top row first).
std::vector<uint8_t> InfoOf(int width, int height, int bitCount) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = WORD(bitCount);
    std::vector<uint8_t> bytes(sizeof h);
    std::memcpy(bytes.data(), &h, sizeof h);
    return bytes;
}

std::vector<uint8_t> BitsOf(const Picture& p, int bitCount, bool topDown = false) {
    const size_t bytesPer = size_t(bitCount / 8), stride = (p.width * bytesPer + 3) / 4 * 4;
    std::vector<uint8_t> bits(stride * p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const Rgb c = p.pixels[size_t(y) * p.width + x];
            uint8_t* q = &bits[size_t(topDown ? y : p.height - 1 - y) * stride + x * bytesPer];
            q[0] = uint8_t(c.b), q[1] = uint8_t(c.g), q[2] = uint8_t(c.r);
        }
    return bits;
}

struct Call {
    BOOL ok = FALSE;
    HGLOBAL info = reinterpret_cast<HGLOBAL>(1); // not null, to see that failures clear it
    HGLOBAL bits = reinterpret_cast<HGLOBAL>(1);
};

Call Huedenize(Block& info, Block& bits, int level = 4, int flags = 0, int bitCount = 8) {
    static const Library library;
    const HuedenizeProc entry = library.Entry();
    Call c;
    if (!entry) {
        ADD_FAILURE() << "HUEDEN32.DLL or its entry point is missing";
        return c;
    }
    c.ok = entry(info.handle(), bits.handle(), &c.info, &c.bits, bitCount, BYTE(level), 256, 8192,
                 flags, 0, 0);
    return c;
}

// Mean squared RGB error of the library's 8-bit result against the picture.
double ErrorOf(const Picture& p, const Call& c) {
    const Result info(c.info), bits(c.bits);
    EXPECT_TRUE(info.movable());
    EXPECT_TRUE(bits.movable());
    BITMAPINFOHEADER h;
    const size_t stride = (size_t(p.width) + 3) / 4 * 4;
    if (info.size() < sizeof h + 256 * sizeof(RGBQUAD) || bits.size() < stride * p.height) {
        ADD_FAILURE() << "result blocks too small";
        return 1e9;
    }
    std::memcpy(&h, info.data(), sizeof h);
    EXPECT_EQ(h.biSize, sizeof h);
    EXPECT_EQ(h.biWidth, p.width);
    EXPECT_EQ(h.biHeight, p.height);
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biCompression, DWORD(BI_RGB));
    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(info.data() + sizeof h);
    double sum = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const RGBQUAD q = table[bits.data()[(p.height - 1 - y) * stride + x]];
            const Rgb a = p.pixels[size_t(y) * p.width + x];
            sum += (a.r - q.rgbRed) * (a.r - q.rgbRed) + (a.g - q.rgbGreen) * (a.g - q.rgbGreen) +
                   (a.b - q.rgbBlue) * (a.b - q.rgbBlue);
        }
    return sum / (double(p.width) * p.height);
}

} // namespace

TEST(Huedenize, ReducesTrueColourIntoTwoNewMovableBlocks) {
    const Picture p = Photo(61, 37); // odd width: padded rows in and out
    for (int bitCount : {24, 32}) {
        for (int level : {4, 6, 8}) {
            for (int flags : {0, 1}) {
                Block info(InfoOf(p.width, p.height, bitCount)), bits(BitsOf(p, bitCount));
                const Call c = Huedenize(info, bits, level, flags);
                ASSERT_TRUE(c.ok);
                EXPECT_LT(ErrorOf(p, c), flags ? 200.0 : 80.0) << bitCount << " " << level;
                // The caller's blocks are left as they were given: locked once.
                EXPECT_EQ(info.locks(), 1u);
                EXPECT_EQ(bits.locks(), 1u);
            }
        }
    }
}

TEST(Huedenize, KeepsTheColoursOfASmallPaletteExactly) {
    Picture p{10, 9, {}};
    for (int i = 0; i < 90; ++i) p.pixels.push_back({i * 2, 255 - i, i % 7 * 30});
    Block info(InfoOf(p.width, p.height, 24)), bits(BitsOf(p, 24));
    const Call c = Huedenize(info, bits);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(ErrorOf(p, c), 0.0);
}

TEST(Huedenize, ReturnsRowsBottomUpForATopDownPicture) {
    Picture p{3, 4, {}};
    for (int i = 0; i < 12; ++i) p.pixels.push_back({i * 20, 100, 255 - i});
    Block info(InfoOf(p.width, -p.height, 32)), bits(BitsOf(p, 32, true));
    const Call c = Huedenize(info, bits);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(ErrorOf(p, c), 0.0); // checks a positive height and bottom-up rows
}

TEST(Huedenize, RefusesBadInputAndClearsTheResultHandles) {
    const Picture p = Photo(8, 8);
    auto expectRefused = [](const Call& c) {
        EXPECT_FALSE(c.ok);
        EXPECT_EQ(c.info, nullptr);
        EXPECT_EQ(c.bits, nullptr);
    };
    Block goodInfo(InfoOf(8, 8, 24)), goodBits(BitsOf(p, 24));
    expectRefused(Huedenize(goodInfo, goodBits, 4, 0, 4)); // only 8-bit results are made

    std::vector<uint8_t> truncated = InfoOf(8, 8, 24);
    truncated.resize(20);
    Block shortInfo(truncated);
    expectRefused(Huedenize(shortInfo, goodBits));

    std::vector<uint8_t> rows = BitsOf(p, 24);
    rows.resize(rows.size() - 1);
    Block shortBits(rows);
    expectRefused(Huedenize(goodInfo, shortBits));

    Block noDepth(InfoOf(8, 8, 0));
    expectRefused(Huedenize(noDepth, goodBits));

    Block huge(InfoOf(1 << 30, 1 << 30, 24));
    expectRefused(Huedenize(huge, goodBits));

    static const Library library;
    HGLOBAL outInfo = nullptr, outBits = nullptr;
    EXPECT_FALSE(
        library.Entry()(nullptr, goodBits.handle(), &outInfo, &outBits, 8, 4, 256, 8192, 0, 0, 0));
    HGLOBAL none = nullptr;
    EXPECT_FALSE(
        library.Entry()(&none, goodBits.handle(), &outInfo, &outBits, 8, 4, 256, 8192, 0, 0, 0));
    EXPECT_EQ(outInfo, nullptr);
}
