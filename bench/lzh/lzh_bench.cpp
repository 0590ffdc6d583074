// Extraction and packing throughput of the LZH library against 7-Zip, lhasa and jlha on two
// archives: noisy 24-bit pictures, and palette pictures with text (what users' archives
// hold). Then the peak memory of extracting and packing one 2 GB member.
// Prints times, MB/s and the ratios the targets are stated in, all from one run.
#include "lzh/archive.h"
#include "lzh/command.h"
#include "lzh/writer.h"
#include <sys/resource.h>
#include <time.h>
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

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A zero-filled BMP of kWidth x kHeight at `bits` per pixel with its headers written.
std::vector<uint8_t> BmpHeader(int bits, size_t palette_bytes) {
    size_t offset = 54 + palette_bytes, size = offset + size_t(kWidth) * bits / 8 * kHeight;
    std::vector<uint8_t> bmp(size, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    Put32(bmp, 2, static_cast<uint32_t>(size));
    Put32(bmp, 10, static_cast<uint32_t>(offset));
    Put32(bmp, 14, 40);
    Put32(bmp, 18, kWidth);
    Put32(bmp, 22, kHeight);
    bmp[26] = 1;
    bmp[28] = static_cast<uint8_t>(bits);
    return bmp;
}

// A 24-bit BMP: gradients plus random low bits, like a scanned or dithered picture.
std::vector<uint8_t> Picture(unsigned seed) {
    std::mt19937 rng(seed);
    size_t row = kWidth * 3;
    std::vector<uint8_t> bmp = BmpHeader(24, 0);
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
    size_t row = kWidth;
    std::vector<uint8_t> bmp = BmpHeader(8, 1024);
    for (int i = 0; i < 256; ++i) Put32(bmp, 54 + 4 * i, rng());
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

double ProcessCpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// Wall-clock and CPU seconds of one run. On a shared machine the CPU time is the steadier
// of the two; the targets are stated in wall-clock speed.
struct Sample {
    double wall = 0, cpu = 0;
};

// Runs a shell command quietly; its CPU time is the child's user + system time.
Sample RunCommand(const std::string& command) {
    auto start = Clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", (command + " >/dev/null 2>&1").c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {-1, -1};
    return {Seconds(start), usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 +
                                usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6};
}

template <class F> Sample RunHere(F f) {
    auto start = Clock::now();
    double cpu = ProcessCpu();
    f();
    return {Seconds(start), ProcessCpu() - cpu};
}

// Medians of wall and CPU time over rounds.
struct Timing {
    std::vector<double> wall, cpu;
    void Add(Sample s) {
        wall.push_back(s.wall);
        cpu.push_back(s.cpu);
    }
    static double Median(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? -1 : v[v.size() / 2];
    }
    double Wall() const { return Median(wall); }
    double Cpu() const { return Median(cpu); }
};

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
    std::string names;
    for (const std::string& f : corpus.files) names += " " + f;
    std::string jlha_command =
        "cd '" + folder.string() + "' && rm -f ../jlha.lzh && jlha -a2o5q ../jlha.lzh" + names;
    lzh::PosixFileSystem files;
    std::string ours = (dir / "ours.lzh").string();
    auto pack = [&] {
        std::unique_ptr<lzh::OutputFile> out = files.Create(ours);
        lzh::ArchiveBuilder builder(*out);
        for (const std::string& f : corpus.files) {
            std::unique_ptr<lzh::Source> source = files.Open((folder / f).string());
            if (!builder.AddFile(f, *source, 1262304000, 0x20)) std::abort();
        }
        if (!builder.Close() || !out->Close()) std::abort();
    };
    // Rounds alternate between the programs so that changes in the machine's load fall on
    // both alike.
    Timing our_pack, jlha_pack;
    for (int round = 0; round < 3; ++round) {
        our_pack.Add(RunHere(pack));
        jlha_pack.Add(RunCommand(jlha_command));
    }
    uint64_t jlha_size = fs::file_size(dir / "jlha.lzh"), our_size = fs::file_size(ours);

    // Extraction: every member decoded and CRC-checked, no files written, against the
    // peers' test commands (which also decode everything without writing).
    std::string archive = (dir / "jlha.lzh").string();
    lzh::FileSource source(archive);
    lzh::Listing listing = lzh::ListArchive(source);
    auto extract = [&] {
        for (const lzh::Member& m : listing.members) {
            NullSink sink;
            if (lzh::DecodeMember(source, m, sink) != lzh::Status::kOk) std::abort();
        }
    };
    Timing our_extract, seven, lhasa;
    for (int round = 0; round < 9; ++round) {
        our_extract.Add(RunHere(extract));
        seven.Add(RunCommand("7zz t '" + archive + "'"));
        if (round % 2 == 0) lhasa.Add(RunCommand("lhasa tq '" + archive + "'"));
    }
    bool peers_accept = RunCommand("lhasa tq '" + ours + "'").wall >= 0 &&
                        RunCommand("7zz t '" + ours + "'").wall >= 0;

    double mb = corpus.bytes / 1e6;
    std::printf("== %s: %zu members, %.1f MB unpacked, %.1f MB packed by jlha -lh5-\n",
                corpus.name.c_str(), corpus.files.size(), mb, jlha_size / 1e6);
    std::printf("extract  ours %.3f s (%.0f MB/s) | 7zz t %.3f s | lhasa t %.3f s  (wall medians; "
                "CPU %.3f / %.3f / %.3f s)\n",
                our_extract.Wall(), mb / our_extract.Wall(), seven.Wall(), lhasa.Wall(),
                our_extract.Cpu(), seven.Cpu(), lhasa.Cpu());
    std::printf("extract  SPEED RATIO ours/7-Zip %.2fx (target >= 1.5; by CPU time %.2fx), "
                "ours/lhasa %.2fx\n",
                seven.Wall() / our_extract.Wall(), seven.Cpu() / our_extract.Cpu(),
                lhasa.Wall() / our_extract.Wall());
    std::printf(
        "pack     ours %.3f s (%.1f MB/s), %llu bytes | jlha %.3f s, %llu bytes  (CPU %.3f / "
        "%.3f s)\n",
        our_pack.Wall(), mb / our_pack.Wall(), static_cast<unsigned long long>(our_size),
        jlha_pack.Wall(), static_cast<unsigned long long>(jlha_size), our_pack.Cpu(),
        jlha_pack.Cpu());
    std::printf("pack     SPEED RATIO ours/jlha %.2fx (target >= 3; by CPU time %.2fx), SIZE RATIO "
                "ours/jlha %.4f (target <= 1.0); lhasa and 7-Zip test ours: %s\n",
                jlha_pack.Wall() / our_pack.Wall(), jlha_pack.Cpu() / our_pack.Cpu(),
                static_cast<double>(our_size) / jlha_size, peers_accept ? "ok" : "FAILED");
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
