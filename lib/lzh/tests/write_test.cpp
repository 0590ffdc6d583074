// Archives we write must be read by lhasa and 7-Zip, and be about as small as jlha's; jlha's
// archives of every window size must come back to their bytes.
#include "lzh/archive.h"
#include "lzh/encode.h"
#include "lzh/writer.h"
#include "test_util.h"
#include <gtest/gtest.h>
#include <random>

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Text(size_t size) {
    static const char* words[] = {"archive ", "picture ", "thumbnail ", "folder ", "the ",
                                  "of ",      "and ",     "\n",         "page ",   "colour "};
    std::mt19937 rng(7);
    std::vector<uint8_t> out;
    while (out.size() < size) {
        const char* w = words[rng() % 10];
        out.insert(out.end(), w, w + strlen(w));
    }
    out.resize(size);
    return out;
}

std::vector<uint8_t> Noise(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> out(size);
    for (auto& b : out) b = static_cast<uint8_t>(rng());
    return out;
}

// A raster-like picture: smooth gradients with noisy low bits.
std::vector<uint8_t> Picture(size_t size) {
    std::mt19937 rng(3);
    std::vector<uint8_t> out(size);
    for (size_t i = 0; i < size; ++i)
        out[i] = static_cast<uint8_t>((i / 3 % 640) / 3 + (rng() & 3));
    return out;
}

struct Sample {
    std::string name;
    std::vector<uint8_t> data;
};

std::vector<Sample> Samples() {
    std::vector<Sample> s = {{"EMPTY.TXT", {}},
                             {"ONE.BIN", {0x41}},
                             {"THREE.BIN", {1, 2, 3}},
                             {"ZEROS.BIN", std::vector<uint8_t>(100000, 0)},
                             {"NOISE.BIN", Noise(50000, 1)},
                             {"TEXT.TXT", Text(170000)},
                             {"PIC.BMP", Picture(400000)},
                             {"RUNS.BIN", std::vector<uint8_t>(70000, 0x55)}};
    // A 65 535-token block boundary and long matches that reach far back.
    std::vector<uint8_t> mixed = Noise(9000, 5);
    for (int i = 0; i < 40; ++i) mixed.insert(mixed.end(), mixed.begin(), mixed.begin() + 8191);
    s.push_back({"FAR.BIN", mixed});
    return s;
}

fs::path WriteOurs(const lzhtest::TempDir& dir, const std::vector<Sample>& samples) {
    lzh::ArchiveBuilder builder;
    for (const Sample& s : samples) EXPECT_TRUE(builder.AddFile(s.name, s.data, 1262304000, 0x20));
    fs::path path = dir.path() / "ours.lzh";
    lzhtest::WriteAll(path.string(), builder.Finish());
    return path;
}

} // namespace

TEST(Writer, PeersTestAndExtractIdentically) {
    lzhtest::TempDir dir;
    auto samples = Samples();
    fs::path archive = WriteOurs(dir, samples);
    std::string q = lzhtest::Quote(archive.string());
    EXPECT_EQ(lzhtest::Run("lhasa tq " + q), 0);
    EXPECT_EQ(lzhtest::Run("7zz t " + q), 0);
    fs::create_directories(dir.path() / "l");
    fs::create_directories(dir.path() / "7");
    ASSERT_EQ(
        lzhtest::Run("cd " + lzhtest::Quote((dir.path() / "l").string()) + " && lhasa xqf " + q),
        0);
    ASSERT_EQ(lzhtest::Run("7zz x -y -o" + lzhtest::Quote((dir.path() / "7").string()) + " " + q),
              0);
    for (const Sample& s : samples) {
        std::string lower = s.name;
        for (char& c : lower) c = static_cast<char>(std::tolower(c));
        EXPECT_EQ(lzhtest::ReadAll((dir.path() / "l" / lower).string()), s.data) << s.name;
        EXPECT_EQ(lzhtest::ReadAll((dir.path() / "7" / s.name).string()), s.data) << s.name;
    }
    // And our own reader, with the header CRC checked.
    lzh::FileSource source(archive.string());
    lzh::Listing listing = lzh::ListArchive(source);
    ASSERT_EQ(listing.status, lzh::Status::kOk);
    ASSERT_EQ(listing.members.size(), samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        std::vector<uint8_t> data;
        EXPECT_EQ(lzh::ExtractToMemory(source, listing.members[i], data), lzh::Status::kOk);
        EXPECT_EQ(data, samples[i].data);
    }
}

TEST(Writer, SizeWithinThreePercentOfJlha) {
    lzhtest::TempDir dir;
    auto samples = Samples();
    std::string names;
    for (const Sample& s : samples) {
        lzhtest::WriteAll(dir / s.name, s.data);
        names += " " + s.name;
    }
    ASSERT_EQ(lzhtest::Run("cd " + lzhtest::Quote(dir.path().string()) +
                           " && jlha -a2o5q jlha.lzh" + names),
              0);
    auto jlha = fs::file_size(dir.path() / "jlha.lzh");
    auto ours = fs::file_size(WriteOurs(dir, samples));
    EXPECT_LT(static_cast<double>(ours), jlha * 1.03) << ours << " vs jlha " << jlha;
}

TEST(Jlha, MembersOfEachWindowSizeExtractToTheirBytes) {
    // Long members cross the decoder's read buffer and output chunks many times over.
    lzhtest::TempDir dir;
    auto samples = Samples();
    samples.push_back({"BIG.BMP", Picture(1500000)});
    std::string names;
    for (const Sample& s : samples) {
        lzhtest::WriteAll(dir / s.name, s.data);
        names += " " + s.name;
    }
    for (std::string method : {"5", "6", "7"}) {
        SCOPED_TRACE(method);
        std::string archive = "jlha" + method + ".lzh";
        ASSERT_EQ(lzhtest::Run("cd " + lzhtest::Quote(dir.path().string()) + " && jlha -a2o" +
                               method + "q " + archive + names),
                  0);
        lzh::FileSource source((dir.path() / archive).string());
        lzh::Listing listing = lzh::ListArchive(source);
        ASSERT_EQ(listing.members.size(), samples.size());
        for (const lzh::Member& m : listing.members) {
            auto sample = std::find_if(samples.begin(), samples.end(),
                                       [&](const Sample& s) { return s.name == m.path; });
            ASSERT_NE(sample, samples.end()) << m.path;
            if (m.path == "BIG.BMP") {
                EXPECT_EQ(m.method, "-lh" + method + "-");
            }
            std::vector<uint8_t> data;
            EXPECT_EQ(lzh::ExtractToMemory(source, m, data), lzh::Status::kOk) << m.path;
            EXPECT_TRUE(data == sample->data) << m.path;
        }
    }
}

TEST(Writer, HeaderLengthNeverAMultipleOf256) {
    // Names whose header would be exactly 256 bytes long must still be read by 7-Zip.
    lzhtest::TempDir dir;
    lzh::ArchiveBuilder builder;
    for (size_t len = 210; len < 240; ++len)
        ASSERT_TRUE(builder.AddFile(std::string(len, 'a') + std::to_string(len), {1, 2, 3, 4}, 0,
                                    0x20, false));
    auto bytes = builder.Finish();
    lzh::MemorySource source(bytes);
    lzh::Listing listing = lzh::ListArchive(source);
    ASSERT_EQ(listing.status, lzh::Status::kOk);
    ASSERT_EQ(listing.members.size(), 30u);
    for (const auto& m : listing.members) EXPECT_NE(m.header_size % 256, 0u);
    lzhtest::WriteAll(dir / "long.lzh", bytes);
    EXPECT_EQ(lzhtest::Run("7zz t " + lzhtest::Quote(dir / "long.lzh")), 0);
    EXPECT_EQ(lzhtest::Run("lhasa tq " + lzhtest::Quote(dir / "long.lzh")), 0);
}

TEST(Writer, CodeLengthsStayWithinLimitAndComplete) {
    // Fibonacci-like frequencies force a deep tree.
    std::vector<uint32_t> freq(40);
    uint32_t a = 1, b = 1;
    for (auto& f : freq) {
        f = a;
        uint32_t c = a + b;
        a = b;
        b = c > 1000000000 ? 1000000000 : c;
    }
    auto len = lzh::LimitedCodeLengths(freq, 16);
    uint64_t kraft = 0;
    for (auto l : len) {
        EXPECT_GE(l, 1);
        EXPECT_LE(l, 16);
        kraft += uint64_t(1) << (16 - l);
    }
    EXPECT_EQ(kraft, 1u << 16);
}
