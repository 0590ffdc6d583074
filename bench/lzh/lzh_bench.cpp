// Extraction and packing throughput of the LZH library against 7-Zip, lhasa and jlha on two
// archives of about 20 MB: noisy 24-bit pictures, and palette pictures with text (what
// users' archives hold). Then the peak memory of extracting and packing one 2 GB member.
// Prints times, MB/s and the ratios the targets are stated in, all from one run.
#include "lzh/archive.h"
#include "lzh/command.h"
#include "lzh/writer.h"
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
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

// An 8-bit palette BMP of flat shapes and bands, as drawings and screen shots are.
std::vector<uint8_t> PalettePicture(unsigned seed) {
    std::mt19937 rng(seed);
    size_t row = kWidth, size = 54 + 1024 + row * kHeight;
    std::vector<uint8_t> bmp(size, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(size));
    put32(10, 54 + 1024);
    put32(14, 40);
    put32(18, kWidth);
    put32(22, kHeight);
    bmp[26] = 1;
    bmp[28] = 8;
    for (int i = 0; i < 256; ++i) put32(54 + 4 * i, rng());
    uint8_t* pixels = bmp.data() + 54 + 1024;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            pixels[y * row + x] = static_cast<uint8_t>((y / 16 + seed) & 15);
    for (int r = 0; r < 60; ++r) {
        int x0 = rng() % kWidth, y0 = rng() % kHeight, w = rng() % 200, h = rng() % 150;
        uint8_t c = static_cast<uint8_t>(rng());
        for (int y = y0; y < std::min(kHeight, y0 + h); ++y)
            for (int x = x0; x < std::min(kWidth, x0 + w); ++x) pixels[y * row + x] = c;
    }
    return bmp;
}

// A text file of words drawn from a small vocabulary.
std::vector<uint8_t> TextFile(unsigned seed, size_t size) {
    static const char* const words[] = {
        "picture",   "folder", "archive", "the",     "of",   "and",  "photo", "2007", "mag",
        "thumbnail", "viewer", "colour",  "palette", "page", "list", "key",   "file", "name"};
    std::mt19937 rng(seed);
    std::string text;
    while (text.size() < size) {
        text += words[rng() % (sizeof words / sizeof *words)];
        text += rng() % 12 == 0 ? "\r\n" : " ";
    }
    return std::vector<uint8_t>(text.begin(), text.end());
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

struct Corpus {
    std::string name;
    std::vector<std::string> files;
    uint64_t bytes = 0;
};

Corpus WriteCorpus(const fs::path& dir, const std::string& name, bool noisy) {
    Corpus c{name, {}, 0};
    fs::create_directories(dir / name);
    for (int i = 0; i < kPictures; ++i) {
        std::vector<uint8_t> data = noisy        ? Picture(static_cast<unsigned>(i))
                                    : i % 3 == 2 ? TextFile(static_cast<unsigned>(i), 600000)
                                                 : PalettePicture(static_cast<unsigned>(i));
        char file[32];
        std::snprintf(file, sizeof file, "IMG%03d.%s", i, noisy || i % 3 != 2 ? "BMP" : "TXT");
        std::ofstream((dir / name / file).string(), std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()),
                   static_cast<std::streamsize>(data.size()));
        c.files.push_back(file);
        c.bytes += data.size();
    }
    return c;
}

void CompareOn(const fs::path& dir, const Corpus& corpus) {
    fs::path folder = dir / corpus.name;
    std::string cd = "cd '" + folder.string() + "' && ", names;
    for (const std::string& f : corpus.files) names += " " + f;
    double jlha_pack = TimeCommand(cd + "rm -f ../jlha.lzh && jlha -a2o5q ../jlha.lzh" + names, 1);
    uint64_t jlha_size = fs::file_size(dir / "jlha.lzh");

    lzh::PosixFileSystem files;
    std::string ours = (dir / "ours.lzh").string();
    double our_pack = TimeRuns(
        [&] {
            std::unique_ptr<lzh::OutputFile> out = files.Create(ours);
            lzh::ArchiveBuilder builder(*out);
            for (const std::string& f : corpus.files) {
                std::unique_ptr<lzh::Source> source = files.Open((folder / f).string());
                if (!builder.AddFile(f, *source, 1262304000, 0x20)) std::abort();
            }
            if (!builder.Close() || !out->Close()) std::abort();
        },
        3);
    uint64_t our_size = fs::file_size(ours);

    // Extraction: every member decoded and CRC-checked, no files written, against the
    // peers' test commands (which also decode everything without writing).
    std::string archive = (dir / "jlha.lzh").string();
    lzh::FileSource source(archive);
    lzh::Listing listing = lzh::ListArchive(source);
    double our_extract = TimeRuns(
        [&] {
            for (const lzh::Member& m : listing.members) {
                NullSink sink;
                if (lzh::DecodeMember(source, m, sink) != lzh::Status::kOk) std::abort();
            }
        },
        10);
    double seven_test = TimeCommand("7zz t '" + archive + "'", 10);
    double lhasa_test = TimeCommand("lhasa tq '" + archive + "'", 5);
    bool peers_accept = TimeCommand("lhasa tq '" + ours + "'", 1) >= 0 &&
                        TimeCommand("7zz t '" + ours + "'", 1) >= 0;

    double mb = corpus.bytes / 1e6;
    std::printf("== %s: %zu members, %.1f MB unpacked, %.1f MB packed by jlha -lh5-\n",
                corpus.name.c_str(), corpus.files.size(), mb, jlha_size / 1e6);
    std::printf("extract  ours %.3f s (%.0f MB/s) | 7zz t %.3f s (%.0f MB/s) | lhasa t %.3f s "
                "(%.0f MB/s)\n",
                our_extract, mb / our_extract, seven_test, mb / seven_test, lhasa_test,
                mb / lhasa_test);
    std::printf("extract  speed ratio ours/7-Zip %.2fx (target >= 1.5), ours/lhasa %.2fx\n",
                seven_test / our_extract, lhasa_test / our_extract);
    std::printf(
        "pack     ours %.3f s (%.1f MB/s), %llu bytes | jlha %.3f s (%.1f MB/s), %llu bytes\n",
        our_pack, mb / our_pack, static_cast<unsigned long long>(our_size), jlha_pack,
        mb / jlha_pack, static_cast<unsigned long long>(jlha_size));
    std::printf("pack     speed ratio ours/jlha %.2fx (target >= 3), size ratio ours/jlha %.4f "
                "(target <= 1.0); lhasa and 7-Zip test ours: %s\n",
                jlha_pack / our_pack, static_cast<double>(our_size) / jlha_size,
                peers_accept ? "ok" : "FAILED");
}

// Runs this program again with `args` and returns the child's peak resident memory in MB.
double PeakMegabytes(const std::vector<std::string>& args) {
    pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss / 1024.0;
}

// The child side: one archiver command run through the library's command entry.
int RunChild(const std::string& line) {
    lzh::PosixFileSystem files;
    std::string output;
    return lzh::RunCommand(line, files, output) == 0 ? 0 : 1;
}

void MeasureMemory(const fs::path& dir, const char* self) {
    const uint64_t size = uint64_t(2) << 30;
    fs::path big = dir / "big" / "BIG.BMP";
    fs::create_directories(big.parent_path());
    {
        std::vector<uint8_t> picture = PalettePicture(1);
        std::ofstream out(big.string(), std::ios::binary);
        for (uint64_t done = 0; done < size; done += picture.size()) {
            picture[100 + done / picture.size() % 1000] ^= 0x5A; // no two copies alike
            out.write(
                reinterpret_cast<const char*>(picture.data()),
                static_cast<std::streamsize>(std::min<uint64_t>(picture.size(), size - done)));
        }
    }
    std::string arc = (dir / "big.lzh").string(), out = (dir / "big_out").string() + "/";
    auto start = Clock::now();
    double pack = PeakMegabytes({self, "--run", "a -n '" + arc + "' '" + big.string() + "'"});
    double pack_s = Seconds(start);
    start = Clock::now();
    double extract = PeakMegabytes({self, "--run", "e -y '" + arc + "' '" + out + "'"});
    double extract_s = Seconds(start);
    bool same = fs::exists(out + "BIG.BMP") && fs::file_size(out + "BIG.BMP") == size;
    std::printf("== one 2 GB member (%.0f MB): peak working set pack %.1f MB in %.1f s, extract "
                "%.1f MB in %.1f s (target <= 64 MB each); extracted size %s\n",
                size / 1e6, pack, pack_s, extract, extract_s, same ? "matches" : "WRONG");
    fs::remove_all(dir / "big");
    fs::remove_all(out);
    fs::remove(arc);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--run") {
        std::string line = argv[2];
        std::replace(line.begin(), line.end(), '\'', '"');
        return RunChild(line);
    }
    fs::path dir = fs::temp_directory_path() / "lzh_bench";
    fs::remove_all(dir);
    fs::create_directories(dir);
    CompareOn(dir, WriteCorpus(dir, "noisy", true));
    CompareOn(dir, WriteCorpus(dir, "compressible", false));
    if (argc < 2 || std::string(argv[1]) != "--no-memory") MeasureMemory(dir, argv[0]);
    fs::remove_all(dir);
    return 0;
}
