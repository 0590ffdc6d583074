// Every sample archive that lhasa tests and extracts clean must list and extract identically here.
#include "lzh/archive.h"
#include "lzh/paths.h"
#include "test_util.h"
#include <gtest/gtest.h>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

// Lower-cased, without control characters (which our extraction drops from names).
std::string Lower(const std::string& s) {
    std::string out;
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x20)
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Regular files lhasa extracted, by lower-cased relative path (lhasa lower-cases DOS names).
std::map<std::string, std::vector<uint8_t>> PeerFiles(const fs::path& dir) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_symlink() || !entry.is_regular_file()) continue;
        files[Lower(fs::relative(entry.path(), dir).generic_string())] =
            lzhtest::ReadAll(entry.path().string());
    }
    return files;
}

std::vector<fs::path> SampleArchives() {
    std::vector<fs::path> out;
    for (auto& entry : fs::recursive_directory_iterator(TOVN_TESTDATA_DIR "/lzh"))
        if (entry.path().extension() == ".lzh") out.push_back(entry.path());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

TEST(Corpus, MatchesLhasaOnEveryCleanSample) {
    lzhtest::TempDir temp;
    int compared = 0, index = 0;
    for (const fs::path& archive : SampleArchives()) {
        SCOPED_TRACE(archive.string());
        if (lzhtest::Run("lhasa tq " + lzhtest::Quote(archive.string())) != 0) continue;
        fs::path out = temp.path() / std::to_string(index++);
        fs::create_directories(out);
        if (lzhtest::Run("cd " + lzhtest::Quote(out.string()) + " && lhasa xqf " +
                         lzhtest::Quote(archive.string())) != 0)
            continue;
        auto peer = PeerFiles(out);

        lzh::FileSource source(archive.string());
        lzh::Listing listing = lzh::ListArchive(source);
        std::map<std::string, std::vector<uint8_t>> ours;
        for (const lzh::Member& m : listing.members) {
            if (m.IsDirectory()) continue;
            std::vector<uint8_t> data;
            ASSERT_EQ(lzh::ExtractToMemory(source, m, data), lzh::Status::kOk) << m.path;
            ours[Lower(lzh::SafeRelativePath(m.path))] = data;
        }
        EXPECT_EQ(ours.size(), peer.size());
        for (auto& [name, data] : peer) {
            auto it = ours.find(name);
            ASSERT_NE(it, ours.end()) << name;
            EXPECT_TRUE(it->second == data) << name;
        }
        ++compared;
    }
    EXPECT_GT(compared, 70);
}
