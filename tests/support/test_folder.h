// Scratch folders and pictures for Win32 tests.
#pragma once
#include <cstdint>
#include <string>

namespace tovn::test {

// A fresh, empty folder under the temporary folder, removed with everything in it.
class TestFolder {
public:
    explicit TestFolder(const std::wstring& tag = L"t");
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    const std::wstring& Path() const { return path_; } // ends in "\"
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }
    // An empty file or a folder in this folder; returns its path.
    std::wstring MakeFile(const std::wstring& name) const;
    std::wstring MakeFolder(const std::wstring& name) const;

private:
    std::wstring path_;
};

// Writes a solid-colour 24-bit BMP.
void WriteSolidBmp(const std::wstring& path, int width, int height, uint8_t r, uint8_t g,
                   uint8_t b);
// Writes a 24-bit BMP whose colours run smoothly: blue from 0 to 255 left to right, green
// from 0 to 255 top to bottom, red constant.
void WriteSmoothBmp(const std::wstring& path, int width, int height, uint8_t red = 128);
void WriteTextFile(const std::wstring& path, const std::string& text);
// Sets the file's last-write time that many days back (a changed file, to the date checks).
void SetWrittenDaysAgo(const std::wstring& path, int days);
void RemoveTree(const std::wstring& folder);
// Where the desktop trash keeps a deleted file (Wine names the Unix home \\??\\Z:\\...);
// empty when the home folder is unknown.
std::wstring TrashPath(const std::wstring& name);
// How many files in the trash carry name (the trash adds a suffix to a name it holds).
int TrashCount(const std::wstring& name);

} // namespace tovn::test
