#include "picture/thumb_cache_path.h"
#include "app/win_text.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <filesystem>

using namespace tovn;
namespace fs = std::filesystem;

namespace {

// A scratch folder with a program folder and a local application data folder inside.
class CachePathTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("tovn_cache_path_" + std::to_string(::GetTickCount()));
        fs::create_directories(root_ / L"program");
        fs::create_directories(root_ / L"local");
    }
    void TearDown() override {
        std::error_code ignored;
        for (auto& e : fs::recursive_directory_iterator(root_, ignored))
            ::SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(root_, ignored);
    }
    std::wstring Program() const { return (root_ / L"program").wstring(); }
    std::wstring Local() const { return (root_ / L"local").wstring(); }
    std::wstring InLocal() const { return Local() + L"\\Tovane32\\Tovn32Th.db"; }
    fs::path root_;
};

TEST_F(CachePathTest, AWritableProgramFolderHoldsTheCache) {
    EXPECT_EQ(Program() + L"\\Tovn32Th.db", ThumbCachePathIn(Program(), Local()));
    EXPECT_EQ(Program() + L"\\Tovn32Th.db", ThumbCachePathIn(Program() + L"\\", Local()));
    EXPECT_FALSE(FolderExists(Local() + L"\\Tovane32")) << "made only when needed";
    EXPECT_TRUE(fs::is_empty(root_ / L"program")) << "the probe leaves nothing behind";
}

TEST_F(CachePathTest, OtherwiseTheUsersLocalFolderOfItsOwn) {
    // A folder that cannot take files: its name is taken by a file.
    const std::wstring blocked = Program() + L"\\file.txt";
    ASSERT_TRUE(WriteFileBytes(blocked, std::string("x")));
    EXPECT_EQ(InLocal(), ThumbCachePathIn(blocked, Local()));
    EXPECT_TRUE(FolderExists(Local() + L"\\Tovane32"));
    EXPECT_EQ(InLocal(), ThumbCachePathIn(L"", Local()));
    EXPECT_EQ(L"", ThumbCachePathIn(blocked, blocked));
    EXPECT_EQ(L"", ThumbCachePathIn(blocked, L""));
}

TEST_F(CachePathTest, AReadOnlyDatabaseBesideTheProgramIsLeftAlone) {
    const std::wstring db = Program() + L"\\Tovn32Th.db";
    ASSERT_TRUE(WriteFileBytes(db, std::string("old")));
    ASSERT_TRUE(::SetFileAttributesW(db.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(InLocal(), ThumbCachePathIn(Program(), Local()));
}

TEST_F(CachePathTest, ThisProgramsPathIsUtf8BesideIt) {
    const std::string path = ThumbCachePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ("Tovn32Th.db", path.substr(path.size() - 11));
}

} // namespace
