#include "support/test_folder.h"
#include "win/handles.h"
#include <windows.h>
#include <algorithm>
#include <vector>

namespace tovn::test {

TestFolder::TestFolder(const std::wstring& tag) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    static int serial = 0;
    for (;;) {
        path_ = std::wstring(temp) + L"tovn_" + tag + L"_" +
                std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(++serial) + L"\\";
        if (::CreateDirectoryW(path_.c_str(), nullptr)) break;
    }
}

TestFolder::~TestFolder() {
    RemoveTree(path_);
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = folder + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + L"\\");
            } else {
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(folder.c_str());
}

namespace {

// A 24-bit BMP whose pixel (x, y), top row first, colour(x, y) gives as B, G, R.
template <typename Colour>
void WriteBmp(const std::wstring& path, int width, int height, Colour colour) {
    int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + stride * height;
    ih.biSize = sizeof ih;
    ih.biWidth = width;
    ih.biHeight = height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = stride * height;
    std::vector<uint8_t> rows(stride * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) colour(x, height - 1 - y, &rows[y * stride + x * 3]);
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done;
    ::WriteFile(f, &fh, sizeof fh, &done, nullptr);
    ::WriteFile(f, &ih, sizeof ih, &done, nullptr);
    ::WriteFile(f, rows.data(), static_cast<DWORD>(rows.size()), &done, nullptr);
    ::CloseHandle(f);
}

} // namespace

void WriteSolidBmp(const std::wstring& path, int width, int height, uint8_t r, uint8_t g,
                   uint8_t b) {
    WriteBmp(path, width, height, [&](int, int, uint8_t* p) {
        p[0] = b;
        p[1] = g;
        p[2] = r;
    });
}

void WriteSmoothBmp(const std::wstring& path, int width, int height, uint8_t red) {
    WriteBmp(path, width, height, [&](int x, int y, uint8_t* p) {
        p[0] = static_cast<uint8_t>(x * 255 / std::max(1, width - 1));
        p[1] = static_cast<uint8_t>(y * 255 / std::max(1, height - 1));
        p[2] = red;
    });
}

void WriteTextFile(const std::wstring& path, const std::string& text) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done;
    ::WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
    ::CloseHandle(f);
}

void SetWrittenDaysAgo(const std::wstring& path, int days) {
    HANDLE f =
        ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME t;
    ::GetSystemTimeAsFileTime(&t);
    reinterpret_cast<ULARGE_INTEGER*>(&t)->QuadPart -= 10000000ull * 86400 * days;
    ::SetFileTime(f, nullptr, nullptr, &t);
    ::CloseHandle(f);
}

std::wstring TestFolder::MakeFile(const std::wstring& name) const {
    WriteTextFile(path_ + name, "");
    return path_ + name;
}

std::wstring TestFolder::MakeFolder(const std::wstring& name) const {
    ::CreateDirectoryW((path_ + name).c_str(), nullptr);
    return path_ + name;
}

std::wstring TrashPath(const std::wstring& name) {
    wchar_t home[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"WINEHOMEDIR", home, MAX_PATH) < 5) return L"";
    return std::wstring(home + 4) + L"\\.local\\share\\Trash\\files\\" + name;
}

int TrashCount(const std::wstring& name) {
    std::wstring pattern = TrashPath(name);
    if (pattern.empty()) return 0;
    WIN32_FIND_DATAW fd;
    UniqueFind find(::FindFirstFileW((pattern + L"*").c_str(), &fd));
    int n = 0;
    if (find) do
            ++n;
        while (::FindNextFileW(find.get(), &fd));
    return n;
}

} // namespace tovn::test
