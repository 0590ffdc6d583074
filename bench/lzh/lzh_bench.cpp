// Extraction and packing throughput of the LZH library against 7-Zip, lhasa and jlha on the
// same ~20 MB archive of noisy 24-bit pictures. Prints times, MB/s and ratios.
#include "lzh/archive.h"
#include "lzh/writer.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPictures = 27, kWidth = 640, kHeight = 480;

// A 24-bit BMP: gradients plus random low bits, like a scanned or dithered picture.
std::vector<uint8_t> Picture(unsigned seed) {
    std::mt19937 rng(seed);
    size_t row = kWidth * 3, size = 54 + row * kHeight;
    std::vector<uint8_t> bmp(size, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(size));
    put32(10, 54);
    put32(14, 40);
    put32(18, kWidth);
    put32(22, kHeight);
    bmp[26] = 1;
    bmp[28] = 24;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c)
                bmp[54 + y * row + x * 3 + c] =
                    static_cast<uint8_t>((x * (c + 1) + y * (3 - c) + seed * 7) / 4 + (rng() & 3));
    return bmp;
}

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// Median wall time of `runs` runs of a shell command.
double TimeCommand(const std::string& command, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) return -1;
        times.push_back(Seconds(start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template <class F> double TimeRuns(F f, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        f();
        times.push_back(Seconds(start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

class NullSink : public lzh::Sink {
public:
    bool Write(const uint8_t*, size_t size) override {
        bytes += size;
        return true;
    }
    uint64_t bytes = 0;
};

} // namespace

int main() {
    fs::path dir = fs::temp_directory_path() / "lzh_bench";
    fs::remove_all(dir);
    fs::create_directories(dir / "out7");
    std::vector<std::vector<uint8_t>> pictures;
    std::string names;
    uint64_t raw = 0;
    for (int i = 0; i < kPictures; ++i) {
        pictures.push_back(Picture(static_cast<unsigned>(i)));
        char name[32];
        std::snprintf(name, sizeof name, "IMG%03d.BMP", i);
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(pictures.back().data()),
                   static_cast<std::streamsize>(pictures.back().size()));
        names += std::string(" ") + name;
        raw += pictures.back().size();
    }
    std::string cd = "cd '" + dir.string() + "' && ";
    double jlha_pack = TimeCommand(cd + "rm -f jlha.lzh && jlha -a2o5q jlha.lzh" + names, 1);
    uint64_t jlha_size = fs::file_size(dir / "jlha.lzh");

    lzh::ArchiveBuilder* last = nullptr;
    std::vector<uint8_t> ours;
    double our_pack = TimeRuns(
        [&] {
            lzh::ArchiveBuilder builder;
            last = &builder;
            for (int i = 0; i < kPictures; ++i)
                builder.AddFile("IMG" + std::to_string(i) + ".BMP", pictures[i], 1262304000, 0x20);
            ours = builder.Finish();
        },
        3);
    (void)last;

    // Extraction: every member decoded and CRC-checked, no files written, against the peers'
    // test commands (which also decode everything without writing).
    std::string archive = (dir / "jlha.lzh").string();
    lzh::FileSource source(archive);
    lzh::Listing listing = lzh::ListArchive(source);
    uint64_t decoded = 0;
    double our_extract = TimeRuns(
        [&] {
            for (const lzh::Member& m : listing.members) {
                NullSink sink;
                if (lzh::DecodeMember(source, m, sink) != lzh::Status::kOk) std::abort();
                decoded += sink.bytes;
            }
        },
        10);
    double seven_test = TimeCommand("7zz t '" + archive + "'", 10);
    double lhasa_test = TimeCommand("lhasa tq '" + archive + "'", 5);
    double seven_extract =
        TimeCommand("7zz x -y -o'" + (dir / "out7").string() + "' '" + archive + "'", 5);

    double mb = raw / 1e6;
    std::printf("archive: %d members, %.1f MB unpacked, %.1f MB packed (jlha -lh5-)\n", kPictures,
                mb, jlha_size / 1e6);
    std::printf(
        "extract  ours %.3f s (%.0f MB/s) | 7zz t %.3f s (%.0f MB/s) | lhasa t %.3f s (%.0f MB/s) "
        "| 7zz x %.3f s\n",
        our_extract, mb / our_extract, seven_test, mb / seven_test, lhasa_test, mb / lhasa_test,
        seven_extract);
    std::printf("extract  ratio 7zz/ours %.2fx, lhasa/ours %.2fx\n", seven_test / our_extract,
                lhasa_test / our_extract);
    std::printf(
        "pack     ours %.3f s (%.1f MB/s), %llu bytes | jlha %.3f s (%.1f MB/s), %llu bytes | "
        "size ours/jlha %.4f\n",
        our_pack, mb / our_pack, static_cast<unsigned long long>(ours.size()), jlha_pack,
        mb / jlha_pack, static_cast<unsigned long long>(jlha_size),
        static_cast<double>(ours.size()) / jlha_size);
    fs::remove_all(dir);
    return 0;
}
