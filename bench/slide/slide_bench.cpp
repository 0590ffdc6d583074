// A slide show over 640 x 400 MAG and 800 x 600 BMP pictures in the real viewer: for Next,
// the time until the picture is on screen against the time its decode takes,
//   - after a pause of half a second (the next picture was decoded while the show waited;
//     target: at most 20% of the decode time),
//   - without a pause (the key comes just as that decode starts; target: at most 1.2 times
//     the decode time),
//   - and, for comparison, Next when nothing was decoded ahead.
#include "imaging/mag.h"
#include "bench/timing.h"
#include "slide/tests/slide_fixture.h"
#include <algorithm>
#include <cstdio>
#include <map>

using namespace tovn;
using namespace tovn::test;

using bench::EnterProgramFolder;
using bench::Median;
using bench::Ms;

namespace {

constexpr int kEachKind = 4;
constexpr int kRounds = 3;

// Busy pictures, so that the decoders work as on photographs and drawings.
std::vector<uint8_t> MagPicture(int seed) {
    imaging::Picture p;
    p.width = 640;
    p.height = 400;
    p.bitsPerPixel = 8;
    for (int i = 0; i < 256; ++i)
        p.palette.push_back({uint8_t(i), uint8_t(255 - i), uint8_t((i * 7) & 255)});
    uint32_t x = uint32_t(seed) * 2654435761u + 1;
    for (int y = 0; y < p.height; ++y)
        for (int c = 0; c < p.width; ++c) {
            x = x * 1103515245u + 12345u;
            p.pixels.push_back(uint8_t((c / 8 + y / 8 + ((x >> 16) & 7)) & 255));
        }
    return imaging::EncodeMag(p);
}

std::vector<uint8_t> BmpPicture(int seed) {
    std::vector<bmp::Rgb> none;
    const int w = 800, h = 600;
    const size_t stride = size_t(w) * 3;
    std::vector<uint8_t> rows(stride * h);
    for (int y = 0; y < h; ++y)
        for (int c = 0; c < w; ++c) {
            uint8_t* p = &rows[size_t(y) * stride + size_t(c) * 3];
            p[0] = uint8_t(c + seed), p[1] = uint8_t(y * 2), p[2] = uint8_t((c ^ y) + seed);
        }
    return bmp::WriteBmpFile(w, h, 24, none, rows.data(), stride);
}

struct Times {
    std::vector<double> decode, paused, unpaused, plain;
};

class SlideShowBench : public SlideFixture {
protected:
    void SetUp() override {
        EnterProgramFolder();
        for (int i = 1; i <= kEachKind; ++i) {
            WriteBytes(pictures / (L"M" + std::to_wstring(i) + L".MAG"), MagPicture(i));
            WriteBytes(pictures / (L"N" + std::to_wstring(i) + L".BMP"), BmpPicture(i));
        }
        StartAt(4);
    }
    static std::wstring Kind(const std::wstring& name) { return name.substr(name.size() - 3); }
    void OnScreen(TfrmSlide& f) {
        ::RedrawWindow(f.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        ::GdiFlush();
    }
    void Rewind(TfrmSlide& f) {
        while (f.SlideIndex() > 0) Press(f, 'B');
    }
    double DecodeTime(const std::wstring& name) {
        PictureSource source{st().CurrentDir, false, L""};
        return Ms([&] { core().Pictures().LoadPicture(name, lpSlide, source); });
    }
    // One pass over the show; step(f) is one Next, timed.
    template <typename Step> void Pass(TfrmSlide& f, std::vector<double> Times::*kind, Step step) {
        Rewind(f);
        OnScreen(f);
        while (f.SlideIndex() + 1 < int(f.Targets().items.size())) {
            const std::wstring next = f.Targets().items[size_t(f.SlideIndex() + 1)].name;
            (times[Kind(next)].*kind).push_back(step());
        }
    }
    std::map<std::wstring, Times> times;
};

TEST_F(SlideShowBench, NextAgainstTheDecodeTime) {
    View(VK_RETURN, ssShift, [&](TfrmSlide& f) {
        for (int round = 0; round < kRounds; ++round) {
            for (const NamedIndex& t : f.Targets().items)
                times[Kind(t.name)].decode.push_back(DecodeTime(t.name));
            Pass(f, &Times::paused, [&] {
                f.IdlePrefetch();
                ::Sleep(500);
                return Ms([&] {
                    Press(f, 'N');
                    OnScreen(f);
                });
            });
            Pass(f, &Times::unpaused, [&] {
                return Ms([&] {
                    f.IdlePrefetch();
                    Press(f, 'N');
                    OnScreen(f);
                });
            });
            Pass(f, &Times::plain, [&] {
                return Ms([&] {
                    Press(f, 'N');
                    OnScreen(f);
                });
            });
        }
        Press(f, VK_ESCAPE);
    });
    std::printf("%-5s %9s %18s %18s %18s\n", "kind", "decode", "Next after pause", "Next at once",
                "Next, no prefetch");
    for (auto& [kind, t] : times) {
        const double decode = Median(t.decode);
        std::printf("%-5ls %7.1fms %9.1fms %5.2fx %9.1fms %5.2fx %9.1fms %5.2fx\n", kind.c_str(),
                    decode, Median(t.paused), Median(t.paused) / decode, Median(t.unpaused),
                    Median(t.unpaused) / decode, Median(t.plain), Median(t.plain) / decode);
        std::printf("      after a pause: %s; at once: %s\n",
                    Median(t.paused) <= 0.20 * decode ? "target met" : "target missed",
                    Median(t.unpaused) <= 1.20 * decode ? "target met" : "target missed");
    }
    std::printf("targets: after a pause <= 0.20x, at once <= 1.20x the decode time\n");
}

} // namespace
