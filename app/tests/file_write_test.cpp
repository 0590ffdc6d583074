// Whole-file writes go through a temporary beside the file: the old file stays as it was
// until the new one is complete, and nothing else is left behind.
#include "app/win_text.h"
#include "win/handles.h"
#include <gtest/gtest.h>

using namespace tovn;

namespace {

class FileWrite : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"tovn_file_write\\";
        ::CreateDirectoryW(folder.c_str(), nullptr);
    }
    void TearDown() override {
        ::RemoveDirectoryW((folder + L"DIR.BMP").c_str());
        ClearTempDir(folder);
    }

    std::string Read(const std::wstring& name) {
        std::string bytes;
        return ReadFileBytes(folder + name, bytes) ? bytes : "<unreadable>";
    }
    int FilesInFolder() {
        WIN32_FIND_DATAW fd;
        UniqueFind find(::FindFirstFileW((folder + L"*").c_str(), &fd));
        int files = 0;
        if (find) {
            do files += !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
            while (::FindNextFileW(find.get(), &fd));
        }
        return files;
    }

    std::wstring folder;
};

TEST_F(FileWrite, CreatesAndReplacesWholeFilesKeepingAttributes) {
    ASSERT_TRUE(WriteFileBytes(folder + L"A.BAT", std::string("first contents\r\n")));
    EXPECT_EQ(Read(L"A.BAT"), "first contents\r\n");
    ::SetFileAttributesW((folder + L"A.BAT").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(WriteFileBytes(folder + L"A.BAT", std::string("new")));
    EXPECT_EQ(Read(L"A.BAT"), "new");
    EXPECT_TRUE(::GetFileAttributesW((folder + L"A.BAT").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(WriteFileBytes(folder + L"EMPTY.PS", std::string()));
    EXPECT_EQ(Read(L"EMPTY.PS"), "");
    EXPECT_EQ(FilesInFolder(), 2); // no temporary left
}

TEST_F(FileWrite, AWriteThatCannotCompleteLeavesTheOldFileAndNoTemporary) {
    ASSERT_TRUE(WriteFileBytes(folder + L"PIC.BMP", std::string("the user's picture")));
    {
        // Another program holds the file without letting it be replaced.
        UniqueFile held(::CreateFileW((folder + L"PIC.BMP").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(WriteFileBytes(folder + L"PIC.BMP", std::string("edited")));
    }
    EXPECT_EQ(Read(L"PIC.BMP"), "the user's picture");
    EXPECT_EQ(FilesInFolder(), 1);
    // A folder of that name is not replaced either.
    ::CreateDirectoryW((folder + L"DIR.BMP").c_str(), nullptr);
    EXPECT_FALSE(WriteFileBytes(folder + L"DIR.BMP", std::string("x")));
    EXPECT_EQ(FilesInFolder(), 1);
    EXPECT_FALSE(WriteFileBytes(folder + L"NO\\SUCH\\FILE.TXT", std::string("x")));
}

} // namespace
