#include "thumbcache/thumb_cache.h"
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace tovn::thumbcache;
namespace fs = std::filesystem;

namespace {

// A thumbnail whose every field and pixel follows from seed, the 4th byte of each pixel 0.
Thumb MakeThumb(uint32_t seed, int width = 64, int height = 48) {
    Thumb t;
    t.width = width;
    t.height = height;
    std::mt19937 gen(seed);
    t.pixels.resize(size_t(width) * size_t(height));
    for (uint32_t& p : t.pixels) p = gen() & 0x00FFFFFFu;
    t.pictureWidth = int32_t(width * 10 + seed % 7);
    t.pictureHeight = int32_t(height * 10 + seed % 5);
    t.left = int32_t(seed % 3) - 1;
    t.top = int32_t(seed % 11);
    t.colorCount = (seed & 1) ? 257 : 16;
    return t;
}

Key KeyOf(uint32_t seed) {
    return {"C:\\Pictures\\photo " + std::to_string(seed) + ".jpg", 1000u + seed,
            132000000000000000 + seed};
}

// What one row costs against the bound: its pixels at 3 bytes, its place and a fixed part.
uint64_t Cost(const Key& k, const Thumb& t) {
    return t.pixels.size() * 3 + k.place.size() + 128;
}

void ExpectSame(const Thumb& want, const std::optional<Thumb>& got) {
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(want.width, got->width);
    EXPECT_EQ(want.height, got->height);
    EXPECT_EQ(want.pictureWidth, got->pictureWidth);
    EXPECT_EQ(want.pictureHeight, got->pictureHeight);
    EXPECT_EQ(want.left, got->left);
    EXPECT_EQ(want.top, got->top);
    EXPECT_EQ(want.colorCount, got->colorCount);
    EXPECT_TRUE(want.pixels == got->pixels);
}

// Either nothing or exactly the thumbnail of seed: never another picture.
void ExpectNothingOrSame(ThumbCache& cache, uint32_t seed) {
    const std::optional<Thumb> got = cache.Find(KeyOf(seed));
    if (got) ExpectSame(MakeThumb(seed), got);
}

// The thumbnails of seeds 0..count-1 and 1000..1000+count-1 that two writers put: each one
// found is exactly its own; returns how many were found.
int FoundOfBothWriters(ThumbCache& cache, uint32_t count) {
    int found = 0;
    for (uint32_t s : {0u, 1000u}) {
        for (uint32_t i = s; i < s + count; ++i) {
            ExpectNothingOrSame(cache, i);
            found += cache.Find(KeyOf(i)) ? 1 : 0;
        }
    }
    return found;
}

class ThumbCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / (std::string("tovn_thumbcache_") + info->name() + "_" +
                                            std::to_string(std::random_device{}()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "Tovn32Th.db").u8string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    std::unique_ptr<ThumbCache> Open(uint64_t limit = 64u << 20) {
        return ThumbCache::Open(path_, limit);
    }
    void PutSeeds(ThumbCache& cache, uint32_t from, uint32_t to) {
        for (uint32_t s = from; s < to; ++s) cache.Put(KeyOf(s), MakeThumb(s));
    }
    fs::path dir_;
    std::string path_;
};

TEST_F(ThumbCacheTest, ThumbnailsComeBackAsPutAndAfterReopening) {
    const std::pair<int, int> sizes[] = {{1, 1}, {256, 256}, {256, 1}, {1, 256}, {97, 67}};
    auto cache = Open();
    ASSERT_TRUE(cache->Usable());
    for (uint32_t i = 0; i < std::size(sizes); ++i)
        cache->Put(KeyOf(i), MakeThumb(i, sizes[i].first, sizes[i].second));
    for (int run = 0; run < 2; ++run) {
        for (uint32_t i = 0; i < std::size(sizes); ++i)
            ExpectSame(MakeThumb(i, sizes[i].first, sizes[i].second), cache->Find(KeyOf(i)));
        cache = Open();
    }
}

TEST_F(ThumbCacheTest, TheFourthByteComesBackZeroAndArchiveMembersAreTheirOwnPlaces) {
    auto cache = Open();
    Thumb t = MakeThumb(5, 3, 2);
    Thumb stored = t;
    for (uint32_t& p : stored.pixels) p |= 0xFF000000u;
    const Key archive{"D:\\a.lzh", 10, 20};
    Key member = archive;
    member.place += "|pic.mag";
    cache->Put(member, stored);
    ExpectSame(t, cache->Find(member));
    EXPECT_FALSE(cache->Find(archive));
}

TEST_F(ThumbCacheTest, AChangedFileFindsNothingUntilPutAgain) {
    auto cache = Open();
    const Key k = KeyOf(7);
    cache->Put(k, MakeThumb(7));
    struct Change {
        const char* what;
        Key key;
    };
    const Change changes[] = {
        {"larger", {k.place, k.size + 1, k.written}},
        {"smaller", {k.place, k.size - 1, k.written}},
        {"written later", {k.place, k.size, k.written + 1}},
        {"written earlier", {k.place, k.size, k.written - 1}},
        {"another place", {k.place + "x", k.size, k.written}},
        {"a shorter place", {k.place.substr(0, k.place.size() - 1), k.size, k.written}},
    };
    for (const Change& c : changes) EXPECT_FALSE(cache->Find(c.key)) << c.what;
    ExpectSame(MakeThumb(7), cache->Find(k));
    const Key changed{k.place, k.size + 5, k.written + 5};
    cache->Put(changed, MakeThumb(8));
    ExpectSame(MakeThumb(8), cache->Find(changed));
    EXPECT_FALSE(cache->Find(k));
}

TEST_F(ThumbCacheTest, ThumbnailsThatCannotBeRightAreNotKept) {
    auto cache = Open();
    Thumb shortPixels = MakeThumb(1);
    shortPixels.pixels.pop_back();
    const Thumb cases[] = {MakeThumb(2, 257, 10), MakeThumb(3, 10, 257), shortPixels, Thumb{}};
    uint32_t seed = 1;
    for (const Thumb& t : cases) {
        cache->Put(KeyOf(seed), t);
        EXPECT_FALSE(cache->Find(KeyOf(seed++)));
    }
    EXPECT_TRUE(cache->Usable());
}

TEST_F(ThumbCacheTest, TheBoundEvictsTheLeastRecentlyUsed) {
    const uint64_t one = Cost(KeyOf(1), MakeThumb(1));
    auto cache = Open(one * 3 + one / 2);
    PutSeeds(*cache, 1, 4); // 1, 2, 3
    ExpectSame(MakeThumb(1), cache->Find(KeyOf(1)));
    cache->Put(KeyOf(4), MakeThumb(4)); // 2 is now the least recently used
    EXPECT_FALSE(cache->Find(KeyOf(2)));
    for (uint32_t s : {1u, 3u, 4u}) ExpectSame(MakeThumb(s), cache->Find(KeyOf(s)));
    cache.reset();

    // The order survives a new run; many more thumbnails keep to the bound.
    cache = Open(one * 3 + one / 2);
    ExpectSame(MakeThumb(3), cache->Find(KeyOf(3)));
    cache->Put(KeyOf(5), MakeThumb(5));
    EXPECT_FALSE(cache->Find(KeyOf(1)));
    for (uint32_t s : {3u, 4u, 5u}) EXPECT_TRUE(cache->Find(KeyOf(s))) << s;
    PutSeeds(*cache, 10, 40);
    int kept = 0;
    for (uint32_t s = 1; s < 40; ++s) kept += cache->Find(KeyOf(s)) ? 1 : 0;
    EXPECT_EQ(3, kept);
    for (uint32_t s = 37; s < 40; ++s) EXPECT_TRUE(cache->Find(KeyOf(s))) << s;
}

TEST_F(ThumbCacheTest, NoBoundOrNoFolderMeansNoCache) {
    auto none = Open(0);
    EXPECT_FALSE(none->Usable());
    none->Put(KeyOf(1), MakeThumb(1));
    EXPECT_FALSE(none->Find(KeyOf(1)));
    EXPECT_FALSE(fs::exists(fs::u8path(path_)));

    auto nowhere = ThumbCache::Open((dir_ / "missing" / "Tovn32Th.db").u8string(), 1 << 20);
    EXPECT_FALSE(nowhere->Usable());
    nowhere->Put(KeyOf(1), MakeThumb(1));
    EXPECT_FALSE(nowhere->Find(KeyOf(1)));
}

struct DbClose {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using RawDb = std::unique_ptr<sqlite3, DbClose>;

RawDb OpenRaw(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    return RawDb(db);
}

// The use marks as the file holds them, by seed.
std::vector<int64_t> UseMarks(const std::string& path, uint32_t from, uint32_t to) {
    RawDb db = OpenRaw(path);
    std::vector<int64_t> marks;
    for (uint32_t s = from; s < to; ++s) {
        sqlite3_stmt* raw = nullptr;
        sqlite3_prepare_v2(db.get(), "SELECT used FROM thumbs WHERE place = ?1", -1, &raw, nullptr);
        const std::string place = KeyOf(s).place;
        sqlite3_bind_text(raw, 1, place.c_str(), int(place.size()), SQLITE_TRANSIENT);
        marks.push_back(sqlite3_step(raw) == SQLITE_ROW ? sqlite3_column_int64(raw, 0) : -1);
        sqlite3_finalize(raw);
    }
    return marks;
}

// Pages shown from the cache write nothing while they are shown (a write would hold every
// find meanwhile); what was found is marked as used when the cache closes.
TEST_F(ThumbCacheTest, FindsWriteTheirUseMarksOnlyWhenTheCacheCloses) {
    const uint64_t one = Cost(KeyOf(1), MakeThumb(1));
    PutSeeds(*Open(), 1, 201);
    const std::vector<int64_t> before = UseMarks(path_, 1, 201);
    auto cache = Open(one * 200 + one / 2);
    for (int round = 0; round < 3; ++round)
        for (uint32_t s = 200; s >= 1; --s) ASSERT_TRUE(cache->Find(KeyOf(s))) << s;
    EXPECT_EQ(before, UseMarks(path_, 1, 201));
    cache.reset();
    EXPECT_NE(before, UseMarks(path_, 1, 201));
    // 200 was found first, 1 last: a new thumbnail evicts 200.
    cache = Open(one * 200 + one / 2);
    cache->Put(KeyOf(500), MakeThumb(500));
    EXPECT_FALSE(cache->Find(KeyOf(200)));
    for (uint32_t s = 1; s < 200; ++s) ASSERT_TRUE(cache->Find(KeyOf(s))) << s;
}

// A row keeps the picture as one size of cells shows it: asked at that size, the form alone
// comes back; asked at another, the thumbnail.
TEST_F(ThumbCacheTest, AFormComesBackForItsOwnCellSizeOnly) {
    auto cache = Open();
    Thumb t = MakeThumb(3, 200, 150);
    const Thumb form = MakeThumb(4, 95, 65);
    t.form = {97, 67, 95, 65, form.pixels};
    cache->Put(KeyOf(3), t);
    Thumb into;
    ASSERT_TRUE(cache->Find(KeyOf(3), into, 97, 67));
    EXPECT_TRUE(into.pixels.empty());
    EXPECT_EQ(into.form.width, 95);
    EXPECT_EQ(into.form.height, 65);
    EXPECT_TRUE(into.form.pixels == form.pixels);
    EXPECT_EQ(into.pictureWidth, t.pictureWidth);
    ASSERT_TRUE(cache->Find(KeyOf(3), into, 98, 67));
    EXPECT_EQ(into.form.width, 0);
    t.form = {};
    ExpectSame(t, std::optional<Thumb>(into));
    // A form that cannot be right is left out; the thumbnail is still kept.
    Thumb bad = MakeThumb(5);
    bad.form = {97, 67, 300, 65, std::vector<uint32_t>(300 * 65)};
    cache->Put(KeyOf(5), bad);
    ASSERT_TRUE(cache->Find(KeyOf(5), into, 97, 67));
    EXPECT_EQ(into.form.width, 0);
    EXPECT_FALSE(into.pixels.empty());
}

TEST_F(ThumbCacheTest, SharedReadsSeeAnotherProgramsThumbnailsOnceEnded) {
    auto reader = Open(), writer = Open();
    reader->KeepReading(true);
    PutSeeds(*writer, 1, 3);
    ExpectSame(MakeThumb(1), reader->Find(KeyOf(1)));
    // Within the shared read the file stands as it was when the read began.
    writer->Put(KeyOf(3), MakeThumb(3));
    EXPECT_FALSE(reader->Find(KeyOf(3)));
    ExpectSame(MakeThumb(2), reader->Find(KeyOf(2)));
    reader->EndReads();
    ExpectSame(MakeThumb(3), reader->Find(KeyOf(3)));
    // A Put of its own ends the read first, and a find into a kept thumbnail reuses it.
    reader->Put(KeyOf(4), MakeThumb(4));
    writer->Put(KeyOf(5), MakeThumb(5, 2, 2));
    Thumb into = MakeThumb(9, 200, 100);
    ASSERT_TRUE(reader->Find(KeyOf(4), into));
    ExpectSame(MakeThumb(4), into);
    ASSERT_TRUE(reader->Find(KeyOf(5), into));
    ExpectSame(MakeThumb(5, 2, 2), into);
    EXPECT_FALSE(reader->Find(KeyOf(6), into));
    // Off, every find sees the file as it is now.
    reader->KeepReading(false);
    writer->Put(KeyOf(6), MakeThumb(6));
    ExpectSame(MakeThumb(6), reader->Find(KeyOf(6)));
}

TEST_F(ThumbCacheTest, AWriterHoldingTheFileIsPassedByNotWaitedFor) {
    auto cache = Open();
    cache->Put(KeyOf(1), MakeThumb(1));
    RawDb other = OpenRaw(path_);
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(other.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr));
    const auto start = std::chrono::steady_clock::now();
    cache->Put(KeyOf(2), MakeThumb(2));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    ExpectSame(MakeThumb(1), cache->Find(KeyOf(1)));
    EXPECT_FALSE(cache->Find(KeyOf(2)));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(other.get(), "COMMIT", nullptr, nullptr, nullptr));
    cache->Put(KeyOf(2), MakeThumb(2));
    ExpectSame(MakeThumb(2), cache->Find(KeyOf(2)));
}

// Damage done to the file while no program has it open.
struct Damage {
    const char* what;
    void (*apply)(const fs::path& file);
};

void Overwrite(const fs::path& file, uintmax_t at, uintmax_t count, char byte) {
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(std::streamoff(at));
    const std::string bytes(size_t(count), byte);
    f.write(bytes.data(), std::streamsize(bytes.size()));
}

const Damage kDamages[] = {
    {"garbage",
     [](const fs::path& f) {
         std::mt19937 gen(3);
         std::string bytes(size_t(fs::file_size(f)), '\0');
         for (char& c : bytes) c = char(gen());
         std::ofstream(f, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
     }},
    {"truncated to half", [](const fs::path& f) { fs::resize_file(f, fs::file_size(f) / 2); }},
    {"truncated to one page", [](const fs::path& f) { fs::resize_file(f, 4096); }},
    {"header overwritten", [](const fs::path& f) { Overwrite(f, 0, 100, 'X'); }},
    {"middle overwritten",
     [](const fs::path& f) { Overwrite(f, fs::file_size(f) / 2, 40000, '\x5a'); }},
    {"single bytes overwritten",
     [](const fs::path& f) {
         for (uintmax_t at = 4096 + 7; at < fs::file_size(f); at += 4096 * 5 + 13)
             Overwrite(f, at, 1, '\x01');
     }},
    {"another database",
     [](const fs::path& f) {
         fs::remove(f);
         RawDb db = OpenRaw(f.u8string());
         sqlite3_exec(db.get(), "CREATE TABLE thumbs(place TEXT); INSERT INTO thumbs VALUES('x')",
                      nullptr, nullptr, nullptr);
     }},
    {"our identity over another table",
     [](const fs::path& f) {
         RawDb db = OpenRaw(f.u8string());
         sqlite3_exec(db.get(), "DROP TABLE thumbs; CREATE TABLE thumbs(place TEXT)", nullptr,
                      nullptr, nullptr);
     }},
};

TEST_F(ThumbCacheTest, ADamagedFileShowsNoWrongPictureAndIsRebuilt) {
    for (const Damage& d : kDamages) {
        SCOPED_TRACE(d.what);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        {
            auto cache = Open();
            PutSeeds(*cache, 1, 30);
        }
        ASSERT_FALSE(fs::exists(fs::u8path(path_ + "-wal"))) << "the log is folded in at close";
        d.apply(fs::u8path(path_));
        {
            auto cache = Open();
            for (uint32_t s = 1; s < 30; ++s) ExpectNothingOrSame(*cache, s);
            // Whatever was lost is put again, and all of it is there from then on.
            PutSeeds(*cache, 1, 30);
            for (uint32_t s = 1; s < 30; ++s) ExpectSame(MakeThumb(s), cache->Find(KeyOf(s)));
            EXPECT_TRUE(cache->Usable());
        }
        auto next = Open();
        EXPECT_TRUE(next->Usable());
        for (uint32_t s = 1; s < 30; ++s) ExpectSame(MakeThumb(s), next->Find(KeyOf(s)));
    }
}

// Each program puts thumbnails back to back, so the other's writes may wait their turn past
// the bound and be dropped now and then (a loaded machine under Wine does it); what either
// finds is always right.
TEST_F(ThumbCacheTest, TwoProgramsOnOneFileWriteAtOnce) {
    auto first = Open();
    auto second = Open();
    ASSERT_TRUE(first->Usable() && second->Usable());
    std::thread a([&] { PutSeeds(*first, 0, 60); });
    std::thread b([&] { PutSeeds(*second, 1000, 1060); });
    a.join();
    b.join();
    for (ThumbCache* c : {first.get(), second.get()}) EXPECT_GE(FoundOfBothWriters(*c, 60), 110);
}

TEST_F(ThumbCacheTest, ThreadsShareOneCache) {
    const uint64_t one = Cost(KeyOf(1), MakeThumb(1));
    auto cache = Open(one * 40);
    std::vector<std::thread> threads;
    for (uint32_t t = 0; t < 4; ++t) {
        threads.emplace_back([&cache, t] {
            for (uint32_t round = 0; round < 30; ++round) {
                const uint32_t own = t * 100 + round, shared = round % 5;
                cache->Put(KeyOf(own), MakeThumb(own));
                cache->Put(KeyOf(shared), MakeThumb(shared));
                ExpectNothingOrSame(*cache, own);
                ExpectNothingOrSame(*cache, shared);
                ExpectNothingOrSame(*cache, (t + 1) % 4 * 100 + round);
            }
        });
    }
    for (std::thread& t : threads) t.join();
    int kept = 0;
    for (uint32_t t = 0; t < 4; ++t)
        for (uint32_t round = 0; round < 30; ++round)
            kept += cache->Find(KeyOf(t * 100 + round)) ? 1 : 0;
    EXPECT_GT(kept, 0);
    EXPECT_LE(kept, 40);
}

#ifndef _WIN32
// Runs body in a child process, which ends by being killed or by exiting with its result.
template <class Body> pid_t Child(Body body) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    return pid;
}

int ExitCode(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

TEST_F(ThumbCacheTest, AProgramKilledInTheMiddleOfAWriteLeavesTheCacheWhole) {
    {
        auto cache = Open();
        PutSeeds(*cache, 1, 20);
    }
    // Killed inside a transaction that has deleted every row.
    const pid_t deleter = Child([&] {
        RawDb db = OpenRaw(path_);
        sqlite3_exec(db.get(), "BEGIN IMMEDIATE; DELETE FROM thumbs", nullptr, nullptr, nullptr);
        raise(SIGKILL);
        return 0;
    });
    EXPECT_EQ(-SIGKILL, ExitCode(deleter));
    {
        auto cache = Open();
        for (uint32_t s = 1; s < 20; ++s) ExpectSame(MakeThumb(s), cache->Find(KeyOf(s)));
    }
    // Killed at an unknown moment while it puts thumbnails as fast as it can.
    const pid_t writer = Child([&] {
        auto cache = Open();
        for (uint32_t s = 100;; s = s < 400 ? s + 1 : 100)
            cache->Put(KeyOf(s), MakeThumb(s, 256, 256));
        return 0;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(writer, SIGKILL);
    EXPECT_EQ(-SIGKILL, ExitCode(writer));
    auto cache = Open();
    EXPECT_TRUE(cache->Usable());
    for (uint32_t s = 1; s < 20; ++s) ExpectSame(MakeThumb(s), cache->Find(KeyOf(s)));
    for (uint32_t s = 100; s < 400; ++s) {
        const std::optional<Thumb> got = cache->Find(KeyOf(s));
        if (got) ExpectSame(MakeThumb(s, 256, 256), got);
    }
    cache->Put(KeyOf(500), MakeThumb(500));
    ExpectSame(MakeThumb(500), cache->Find(KeyOf(500)));
}

TEST_F(ThumbCacheTest, TwoProcessesWriteAtOnce) {
    // Forked before this process opens the file: a connection must not cross a fork.
    const pid_t other = Child([&] {
        auto cache = Open();
        PutSeeds(*cache, 1000, 1040);
        int found = 0;
        for (uint32_t s = 1000; s < 1040; ++s) found += cache->Find(KeyOf(s)) ? 1 : 0;
        return found >= 35 ? 0 : 1;
    });
    auto mine = Open();
    PutSeeds(*mine, 0, 40);
    EXPECT_EQ(0, ExitCode(other));
    EXPECT_GE(FoundOfBothWriters(*mine, 40), 70);
}
#endif

} // namespace
