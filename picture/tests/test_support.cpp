#include "picture/tests/test_support.h"
#include <gtest/gtest.h>
#include <atomic>
#include "imaging/bmp.h"

namespace tovn::test {
namespace {

std::wstring CurrentDir() {
    wchar_t buffer[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, buffer);
    return buffer;
}

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW found{};
    HANDLE find = ::FindFirstFileW((dir + L"*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(dir + name + L"\\");
            else
                ::DeleteFileW((dir + name).c_str());
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(dir.c_str());
}

std::wstring Widen(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

} // namespace

InFolder::InFolder(const std::wstring& folder) : previous_(CurrentDir()) {
    EXPECT_TRUE(::SetCurrentDirectoryW(folder.c_str()))
        << std::string(folder.begin(), folder.end());
}

InFolder::~InFolder() {
    ::SetCurrentDirectoryW(previous_.c_str());
}

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    path_ = CurrentDir() + L"\\scratch" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
            std::to_wstring(counter++) + L"\\";
    RemoveTree(path_);
    ::CreateDirectoryW(path_.c_str(), nullptr);
    inFolder_ = std::make_unique<InFolder>(path_);
}

ScratchFolder::~ScratchFolder() {
    inFolder_.reset();
    RemoveTree(path_);
}

void ScratchFolder::Write(const std::wstring& name, const std::vector<uint8_t>& bytes) const {
    HANDLE f =
        ::CreateFileW(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    ::CloseHandle(f);
    ASSERT_EQ(written, bytes.size());
}

std::vector<std::string> ListedPlugins(const std::wstring& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE find = ::FindFirstFileW((folder + L"*.SPI").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = found.cFileName;
        names.emplace_back(name.begin(), name.end());
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return names;
}

std::vector<std::string>
ScratchFolder::PlacePlugins(const std::vector<std::string>& fixtures) const {
    // Names unique to this folder, so that no earlier test's module is taken for them.
    static std::atomic<int> serial{0};
    for (size_t i = 0; i < fixtures.size(); ++i)
        Write(L"P" + std::to_wstring(serial++) + L".SPI", {'j', 'u', 'n', 'k'});
    std::vector<std::string> listed = ListedPlugins(path_);
    for (size_t i = 0; i < fixtures.size() && i < listed.size(); ++i) {
        if (fixtures[i].empty()) continue;
        std::wstring source = Widen(TOVN_FIXTURE_DIR "/" + fixtures[i] + ".SPI");
        EXPECT_TRUE(::CopyFileW(source.c_str(), File(Widen(listed[i])).c_str(), FALSE))
            << fixtures[i];
    }
    return listed;
}

std::vector<uint8_t> FxFile(uint32_t width, uint32_t height, uint16_t bits, uint8_t fault) {
    std::vector<uint8_t> b{'F', 'X'};
    b.resize(14);
    PutLe32(b, 2, width);
    PutLe32(b, 6, height);
    b[10] = uint8_t(bits);
    b[11] = uint8_t(bits >> 8);
    b[12] = fault;
    return b;
}

FxProbe::FxProbe(const std::string& moduleName) {
    HMODULE module = ::GetModuleHandleA(moduleName.c_str());
    if (!module) {
        ADD_FAILURE() << moduleName << " is not loaded";
        return;
    }
    using Blocks = void(WINAPI*)(HLOCAL*, HLOCAL*);
    using Calls = void(WINAPI*)(int*, int*);
    auto blocks = reinterpret_cast<Blocks>(
        reinterpret_cast<void (*)()>(::GetProcAddress(module, "FxLastBlocks")));
    auto calls =
        reinterpret_cast<Calls>(reinterpret_cast<void (*)()>(::GetProcAddress(module, "FxCalls")));
    blocks(&lastInfo, &lastBits);
    calls(&supportedCalls, &pictureCalls);
}

void PutLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
}

std::vector<uint8_t> BmpFile(int width, int height, int bits) {
    std::vector<bmp::Rgb> palette;
    if (bits <= 8)
        for (int i = 0; i < (1 << bits); ++i)
            palette.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(3 * i)});
    const size_t stride = size_t((width * bits + 31) / 32 * 4);
    std::vector<uint8_t> rows(stride * size_t(height), 0);
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row; // bottom row first
        uint8_t* r = &rows[stride * size_t(row)];
        for (int x = 0; x < width; ++x) {
            if (bits == 24) {
                r[3 * x] = 200, r[3 * x + 1] = uint8_t(y), r[3 * x + 2] = uint8_t(x);
                continue;
            }
            const int index = (x + 2 * y) % (1 << bits);
            const int perByte = 8 / bits;
            r[x / perByte] |= uint8_t(index << (8 - bits * (1 + x % perByte)));
        }
    }
    return bmp::WriteBmpFile(width, height, bits, palette, rows.data(), stride);
}

COLORREF PixelOf(const Picture& picture, int x, int y) {
    UniqueMemDc dc(::CreateCompatibleDC(nullptr));
    SelectIn in(dc.get(), picture.Bitmap());
    // DIB sections keep their own colour table: read it, not the screen's nearest colour.
    RGBQUAD table[256] = {};
    UINT n = ::GetDIBColorTable(dc.get(), 0, 256, table);
    DIBSECTION ds{};
    ::GetObjectW(picture.Bitmap(), sizeof ds, &ds);
    const int bits = ds.dsBm.bmBitsPixel;
    const int row = ds.dsBmih.biHeight > 0 ? ds.dsBm.bmHeight - 1 - y : y;
    const auto* line =
        static_cast<const uint8_t*>(ds.dsBm.bmBits) + size_t(row) * ds.dsBm.bmWidthBytes;
    if (bits > 8) {
        const uint8_t* p = line + x * (bits / 8);
        return RGB(p[2], p[1], p[0]);
    }
    const int perByte = 8 / bits;
    const int index = (line[x / perByte] >> (8 - bits * (1 + x % perByte))) & ((1 << bits) - 1);
    if (UINT(index) >= n) return CLR_INVALID;
    return RGB(table[index].rgbRed, table[index].rgbGreen, table[index].rgbBlue);
}

std::vector<PALETTEENTRY> EntriesOf(HPALETTE palette) {
    std::vector<PALETTEENTRY> entries;
    if (!palette) return entries;
    UINT n = ::GetPaletteEntries(palette, 0, 0, nullptr);
    entries.resize(n);
    if (n) ::GetPaletteEntries(palette, 0, n, entries.data());
    return entries;
}

bool IsPlaceholder(const Picture& picture) {
    return !picture.Empty() && picture.Width() == 320 && picture.Height() == 100 &&
           PixelOf(picture, 0, 0) == RGB(255, 255, 255);
}

} // namespace tovn::test
