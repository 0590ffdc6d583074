// Drives UNLHA32.DLL and LHASAD.SPI through their published entry points only, as the
// program does: loaded by name from the executable's folder.
#include "../unlha32.h"
#include "../../../lib/lzh/tests/member_bytes.h"
#include <gtest/gtest.h>
#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

namespace {

#pragma pack(push, 1)
struct SpiFileInfo { // the 64-bit form of the archive plug-in's file record
    unsigned char method[8];
    ULONG_PTR position, compsize, filesize;
    LONG_PTR timestamp;
    char path[200], filename[200];
    unsigned long crc;
#ifdef _WIN64
    char dummy[4];
#endif
};
#pragma pack(pop)

static_assert(sizeof(INDIVIDUALINFO) == 558, "INDIVIDUALINFO is 558 bytes");
static_assert(offsetof(INDIVIDUALINFO, szFileName) == 26, "name offset");
static_assert(offsetof(INDIVIDUALINFO, szAttribute) == 542, "attribute offset");
static_assert(offsetof(INDIVIDUALINFO, szMode) == 550, "mode offset");

using UnlhaFn = int(WINAPI*)(HWND, LPCSTR, LPSTR, DWORD);
using CheckFn = BOOL(WINAPI*)(LPCSTR, int);
using CountFn = int(WINAPI*)(LPCSTR);
using OpenFn = HARC(WINAPI*)(HWND, LPCSTR, DWORD);
using CloseFn = int(WINAPI*)(HARC);
using FindFirstFn = int(WINAPI*)(HARC, LPCSTR, INDIVIDUALINFO*);
using FindNextFn = int(WINAPI*)(HARC, INDIVIDUALINFO*);
using NameFn = int(WINAPI*)(HARC, LPSTR, int);
using SizeFn = DWORD(WINAPI*)(HARC);
using InfoFn = int(WINAPI*)(int, LPSTR, int);
using SupportedFn = int(WINAPI*)(LPCSTR, void*);
using ArchiveInfoFn = int(WINAPI*)(LPCSTR, LONG_PTR, unsigned, HLOCAL*);
using FileInfoFn = int(WINAPI*)(LPCSTR, LONG_PTR, LPCSTR, unsigned, SpiFileInfo*);
using GetFileFn = int(WINAPI*)(LPCSTR, LONG_PTR, LPSTR, unsigned, void*, LONG_PTR);
using ExtractMemFn = int(WINAPI*)(HWND, LPCSTR, LPBYTE, DWORD, time_t*, LPWORD, LPDWORD);
using CompressMemFn = int(WINAPI*)(HWND, LPCSTR, const BYTE*, DWORD, const time_t*, const WORD*,
                                   LPDWORD);
using QueryFn = BOOL(WINAPI*)(int);
using ConfigFn = BOOL(WINAPI*)(HWND, LPSTR, int);

const DWORD kOpenMode = 0x00400200;

std::string Testdata(const std::string& name) {
    std::string path = std::string("Z:") + TOVN_TESTDATA_DIR + "/lzh/" + name;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::vector<char> ReadAll(const std::string& path) {
    std::vector<char> out;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return out;
    out.resize(GetFileSize(f, nullptr));
    DWORD got = 0;
    ReadFile(f, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
    CloseHandle(f);
    return out;
}

void WriteAll(const std::string& path, const std::string& data) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &put, nullptr);
    CloseHandle(f);
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Content(const std::string& seed, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += seed + std::to_string(i % 97) + "\n";
    return s;
}

class Dlls : public ::testing::Test {
protected:
    static HMODULE unlha, spi;
    static void SetUpTestSuite() {
        unlha = LoadLibraryA("UNLHA32.DLL");
        spi = LoadLibraryA("LHASAD.SPI");
    }
    template <class F> F Get(HMODULE lib, const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
    }

    std::string work, arc, src, out;
    char output[1025] = {};

    void SetUp() override {
        ASSERT_NE(unlha, nullptr);
        ASSERT_NE(spi, nullptr);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        // A folder with a blank and Japanese characters ("写真 フォルダ") in its name.
        work = std::string(temp) + "tovn \x8E\xCA\x90\x5E " +
               std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(work.c_str(), nullptr);
        src = work + "src dir\\";
        out = work + "out dir\\";
        CreateDirectoryA(src.c_str(), nullptr);
        arc = work + "photos.LZH";
    }
    void TearDown() override {
        // Remove what the test made: files first, then the folders.
        for (const std::string& dir : {src, out, work}) {
            WIN32_FIND_DATAA found;
            HANDLE h = FindFirstFileA((dir + "*").c_str(), &found);
            if (h != INVALID_HANDLE_VALUE) {
                do {
                    DeleteFileA((dir + found.cFileName).c_str());
                } while (FindNextFileA(h, &found));
                FindClose(h);
            }
        }
        for (const std::string& dir : {src, out, work}) RemoveDirectoryA(dir.c_str());
    }
    int Unlha(const std::string& line) {
        return Get<UnlhaFn>(unlha, "Unlha")(nullptr, line.c_str(), output, sizeof output);
    }
    std::string Q(const std::string& s) { return "\"" + s + "\""; }

    std::vector<std::string> List(const char* pattern) {
        HARC h = Get<OpenFn>(unlha, "UnlhaOpenArchive")(nullptr, Q(arc).c_str(), kOpenMode);
        std::vector<std::string> names;
        if (!h) return names;
        INDIVIDUALINFO info;
        for (int rc = Get<FindFirstFn>(unlha, "UnlhaFindFirst")(h, pattern, &info); rc == 0;
             rc = Get<FindNextFn>(unlha, "UnlhaFindNext")(h, &info))
            names.push_back(info.szFileName);
        Get<CloseFn>(unlha, "UnlhaCloseArchive")(h);
        return names;
    }

    // Packs three files: a plain name, one with a blank, and "表示.mag" (second byte 0x5C).
    void Pack() {
        WriteAll(src + "a.mag", Content("alpha", 800));
        WriteAll(src + "b c.pi", Content("beta", 500));
        WriteAll(src + "\x95\x5C\x8E\xA6.mag", Content("gamma", 300));
        ASSERT_EQ(Unlha("a -n -+ " + Q(arc) + " " + Q(src + "a.mag") + " " + Q(src + "b c.pi") +
                        " " + Q(src + "\x95\x5C\x8E\xA6.mag")),
                  0)
            << output;
    }
};
HMODULE Dlls::unlha = nullptr;
HMODULE Dlls::spi = nullptr;

TEST_F(Dlls, ExportsEveryBoundEntryPoint) {
    for (const char* name :
         {"Unlha", "UnlhaGetVersion", "UnlhaGetRunning", "UnlhaCheckArchive", "UnlhaGetFileCount",
          "UnlhaOpenArchive", "UnlhaCloseArchive", "UnlhaFindFirst", "UnlhaFindNext",
          "UnlhaGetFileName", "UnlhaGetMethod", "UnlhaGetOriginalSize", "UnlhaGetDate",
          "UnlhaGetTime", "UnlhaGetCRC", "UnlhaGetAttribute"})
        EXPECT_NE(GetProcAddress(unlha, name), nullptr) << name;
    for (const char* name :
         {"GetPluginInfo", "IsSupported", "GetArchiveInfo", "GetFileInfo", "GetFile"})
        EXPECT_NE(GetProcAddress(spi, name), nullptr) << name;
    EXPECT_FALSE(Get<BOOL(WINAPI*)()>(unlha, "UnlhaGetRunning")());
}

TEST_F(Dlls, CheckArchiveTellsGoodFromBad) {
    auto check = Get<CheckFn>(unlha, "UnlhaCheckArchive");
    EXPECT_TRUE(check(Testdata("lha255e/lh5.lzh").c_str(), 1));
    EXPECT_TRUE(check(Testdata("lharc113/lh1.lzh").c_str(), 2));
    EXPECT_FALSE(check(Testdata("regression/truncated.lzh").c_str(), 1));
    EXPECT_FALSE(check(Testdata("lha255e/README").c_str(), 1));
    EXPECT_FALSE(check((work + "missing.lzh").c_str(), 1));
    EXPECT_EQ(Get<CountFn>(unlha, "UnlhaGetFileCount")(Testdata("regression/multiple.lzh").c_str()),
              5);
    EXPECT_EQ(Get<CountFn>(unlha, "UnlhaGetFileCount")(Testdata("lha255e/README").c_str()), -1);
}

TEST_F(Dlls, PackListFindAndExtract) {
    Pack();
    EXPECT_TRUE(Get<CheckFn>(unlha, "UnlhaCheckArchive")(arc.c_str(), 1));
    EXPECT_EQ(List("*.*"), (std::vector<std::string>{"a.mag", "b c.pi", "\x95\x5C\x8E\xA6.mag"}));
    EXPECT_EQ(List("*.pi"), std::vector<std::string>{"b c.pi"});
    EXPECT_EQ(List("\x95\x5C\x8E\xA6.mag").size(), 1u);
    EXPECT_TRUE(List("nothere.mag").empty());

    // Per-member getters describe the last member found.
    HARC h = Get<OpenFn>(unlha, "UnlhaOpenArchive")(nullptr, Q(arc).c_str(), kOpenMode);
    ASSERT_NE(h, nullptr);
    INDIVIDUALINFO info;
    ASSERT_EQ(Get<FindFirstFn>(unlha, "UnlhaFindFirst")(h, "A.MAG", &info), 0);
    EXPECT_EQ(info.dwOriginalSize, Content("alpha", 800).size());
    EXPECT_STREQ(info.szMode, "-lh5-");
    EXPECT_NE(info.wDate, 0);
    char name[600];
    EXPECT_EQ(Get<NameFn>(unlha, "UnlhaGetFileName")(h, name, sizeof name), 0);
    EXPECT_STREQ(name, "a.mag");
    EXPECT_EQ(Get<SizeFn>(unlha, "UnlhaGetOriginalSize")(h), info.dwOriginalSize);
    EXPECT_EQ(Get<FindNextFn>(unlha, "UnlhaFindNext")(h, &info), -1);
    Get<CloseFn>(unlha, "UnlhaCloseArchive")(h);
    EXPECT_NE(Get<FindFirstFn>(unlha, "UnlhaFindFirst")(h, "*.*", &info), 0); // closed handle

    ASSERT_EQ(Unlha("e -y -n -+ " + Q(arc) + " " + Q(out) + " " + Q("\x95\x5C\x8E\xA6.mag") + " " +
                    Q("b c.pi")),
              0)
        << output;
    EXPECT_EQ(ReadAll(out + "\x95\x5C\x8E\xA6.mag"), ReadAll(src + "\x95\x5C\x8E\xA6.mag"));
    EXPECT_EQ(ReadAll(out + "b c.pi"), ReadAll(src + "b c.pi"));
}

TEST_F(Dlls, RenameDeleteAndMove) {
    Pack();
    ASSERT_EQ(Unlha("n -n " + Q(arc) + " " + Q("a.mag") + " " + Q("-grz z.mag")), 0) << output;
    EXPECT_TRUE(List("a.mag").empty());
    EXPECT_EQ(List("z z.mag").size(), 1u);
    ASSERT_EQ(Unlha("d -n -+ -y " + Q(arc) + " " + Q("b c.pi")), 0) << output;
    EXPECT_EQ(Get<CountFn>(unlha, "UnlhaGetFileCount")(arc.c_str()), 2);
    std::string moved = src + "moved one.mag";
    WriteAll(moved, Content("delta", 100));
    ASSERT_EQ(Unlha("m -n " + Q(arc) + " " + Q(moved)), 0) << output;
    EXPECT_FALSE(Exists(moved));
    EXPECT_EQ(List("moved one.mag").size(), 1u);
    // A move whose source is missing changes nothing.
    EXPECT_NE(Unlha("m -n " + Q(arc) + " " + Q(src + "gone.mag")), 0);
    EXPECT_EQ(List("*.*").size(), 3u);
}

TEST_F(Dlls, PluginReadsMembersIntoMemory) {
    Pack();
    char text[256];
    ASSERT_GT(Get<InfoFn>(spi, "GetPluginInfo")(0, text, sizeof text), 0);
    EXPECT_STREQ(text, "00AM");

    std::vector<char> head(2048, 0);
    std::vector<char> whole = ReadAll(arc);
    std::copy(whole.begin(), whole.begin() + std::min<size_t>(whole.size(), 2048), head.begin());
    EXPECT_NE(Get<SupportedFn>(spi, "IsSupported")(arc.c_str(), head.data()), 0);
    std::vector<char> junk(2048, 'x');
    EXPECT_EQ(Get<SupportedFn>(spi, "IsSupported")(arc.c_str(), junk.data()), 0);

    SpiFileInfo info{};
    ASSERT_EQ(Get<FileInfoFn>(spi, "GetFileInfo")(arc.c_str(), 0, "B C.PI", 128, &info), 0);
    EXPECT_STREQ(info.filename, "b c.pi");
    EXPECT_NE(Get<FileInfoFn>(spi, "GetFileInfo")(arc.c_str(), 0, "B C.PI", 0, &info), 0);
    ASSERT_EQ(
        Get<FileInfoFn>(spi, "GetFileInfo")(arc.c_str(), 0, "\x95\x5C\x8E\xA6.MAG", 128, &info), 0);
    HLOCAL block = nullptr;
    ASSERT_EQ(Get<GetFileFn>(spi, "GetFile")(arc.c_str(), static_cast<LONG_PTR>(info.position),
                                             reinterpret_cast<LPSTR>(&block), 256, nullptr, 0),
              0);
    ASSERT_NE(block, nullptr);
    std::vector<char> expected = ReadAll(src + "\x95\x5C\x8E\xA6.mag");
    ASSERT_GE(LocalSize(block), expected.size());
    const char* bytes = static_cast<const char*>(LocalLock(block));
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes));
    LocalUnlock(block);
    LocalFree(block);

    HLOCAL list = nullptr;
    ASSERT_EQ(Get<ArchiveInfoFn>(spi, "GetArchiveInfo")(arc.c_str(), 0, 0, &list), 0);
    const auto* entries = static_cast<const SpiFileInfo*>(LocalLock(list));
    int count = 0;
    while (entries[count].method[0]) ++count;
    EXPECT_EQ(count, 3);
    LocalUnlock(list);
    LocalFree(list);

    // The same list from a memory image of the archive.
    ASSERT_EQ(Get<ArchiveInfoFn>(spi, "GetArchiveInfo")(
                  whole.data(), static_cast<LONG_PTR>(whole.size()), 1, &list),
              0);
    entries = static_cast<const SpiFileInfo*>(LocalLock(list));
    EXPECT_STREQ(entries[1].filename, "b c.pi");
    EXPECT_EQ(entries[3].method[0], 0);
    LocalUnlock(list);
    LocalFree(list);

    // Output to a folder writes the member under its name.
    CreateDirectoryA(out.c_str(), nullptr);
    ASSERT_EQ(Get<GetFileFn>(spi, "GetFile")(arc.c_str(), static_cast<LONG_PTR>(info.position),
                                             const_cast<LPSTR>(out.c_str()), 0, nullptr, 0),
              0);
    EXPECT_EQ(ReadAll(out + "\x95\x5C\x8E\xA6.mag"), expected);

    // A position that is not a member header is refused, not misread.
    block = nullptr;
    EXPECT_NE(Get<GetFileFn>(spi, "GetFile")(arc.c_str(), 5, reinterpret_cast<LPSTR>(&block), 256,
                                             nullptr, 0),
              0);
    EXPECT_EQ(block, nullptr);
}

void WriteBytes(const std::string& path, const lzhtest::Bytes& bytes) {
    WriteAll(path, std::string(bytes.begin(), bytes.end()));
}

TEST_F(Dlls, MemoryEntriesAndRefusals) {
    Pack();
    auto extract = Get<ExtractMemFn>(unlha, "UnlhaExtractMem");
    auto compress = Get<CompressMemFn>(unlha, "UnlhaCompressMem");
    ASSERT_NE(extract, nullptr);
    ASSERT_NE(compress, nullptr);
    std::vector<char> expected = ReadAll(src + "b c.pi");
    std::vector<BYTE> buffer(expected.size() + 16, 0xEE);
    time_t stamp = 0;
    WORD attribute = 0;
    DWORD written = 0;
    ASSERT_EQ(extract(nullptr, (Q(arc) + " " + Q("b c.pi")).c_str(), buffer.data(),
                      static_cast<DWORD>(buffer.size()), &stamp, &attribute, &written),
              0);
    ASSERT_EQ(written, expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin()));
    EXPECT_NE(stamp, 0);
    // A buffer that is too small is refused and not written past its end.
    std::fill(buffer.begin(), buffer.end(), 0xEE);
    EXPECT_EQ(extract(nullptr, (Q(arc) + " " + Q("b c.pi")).c_str(), buffer.data(), 10, nullptr,
                      nullptr, &written),
              0x804A);
    EXPECT_EQ(buffer[10], 0xEE);

    const std::string text = "made in memory";
    time_t when = 1262304000;
    ASSERT_EQ(compress(nullptr, ("a " + Q(arc) + " mem.txt").c_str(),
                       reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()),
                       &when, nullptr, &written),
              0)
        << output;
    EXPECT_EQ(List("*.*").size(), 4u);
    ASSERT_EQ(extract(nullptr, (Q(arc) + " mem.txt").c_str(), buffer.data(),
                      static_cast<DWORD>(buffer.size()), &stamp, nullptr, &written),
              0);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + written), text);
    EXPECT_EQ(stamp, when);

    auto query = Get<QueryFn>(unlha, "UnlhaQueryFunctionList");
    EXPECT_TRUE(query(0));   // Unlha
    EXPECT_TRUE(query(25));  // FindFirst
    EXPECT_FALSE(query(17)); // ConfigDialog: refused
    EXPECT_FALSE(Get<ConfigFn>(unlha, "UnlhaConfigDialog")(nullptr, nullptr, 1));
    EXPECT_EQ(Unlha("s " + Q(arc)), 0x8023); // an interface command this archiver lacks
}

TEST_F(Dlls, ShiftJisFoldersResponseFilesAndRecursion) {
    // 表 and ソ end in 0x5C: folder creation and parent folders must not split them.
    const std::string folder = "\x95\x5C\x8E\xA6", inner = folder + "\\\x83\x5C";
    CreateDirectoryA((src + folder).c_str(), nullptr);
    CreateDirectoryA((src + inner).c_str(), nullptr);
    WriteAll(src + inner + "\\a.mag", Content("deep", 50));
    WriteAll(src + folder + "\\b.mag", Content("flat", 50));
    ASSERT_EQ(Unlha("a -n -r -x1 " + Q(arc) + " " + Q(src) + " " + Q(folder)), 0) << output;
    EXPECT_EQ(List("*.*").size(), 2u);
    ASSERT_EQ(Unlha("x -y " + Q(arc) + " " + Q(out)), 0) << output;
    EXPECT_EQ(ReadAll(out + inner + "\\a.mag"), ReadAll(src + inner + "\\a.mag"));
    EXPECT_EQ(ReadAll(out + folder + "\\b.mag"), ReadAll(src + folder + "\\b.mag"));
    for (const std::string& f : {out + inner + "\\a.mag", out + folder + "\\b.mag",
                                 src + inner + "\\a.mag", src + folder + "\\b.mag"})
        DeleteFileA(f.c_str());
    for (const std::string& d : {out + inner, out + folder, src + inner, src + folder})
        RemoveDirectoryA(d.c_str());

    // Names from a response file.
    WriteAll(src + "one.mag", Content("one", 10));
    WriteAll(src + "list.txt", "\"" + src + "one.mag\"\r\n");
    ASSERT_EQ(Unlha("a -n " + Q(arc) + " @" + Q(src + "list.txt")), 0) << output;
    EXPECT_EQ(List("one.mag").size(), 1u);
    EXPECT_EQ(Unlha("a -n " + Q(arc) + " @" + Q(src + "missing.txt")), 0x802A);
}

TEST_F(Dlls, PluginLeavesNothingBehindAndCapsMemory) {
    // A member whose data does not match its CRC: nothing may remain under its name.
    lzhtest::Level2 broken;
    broken.data = lzhtest::Text(Content("picture", 40));
    broken.extensions = {lzhtest::NameExtension("BROKEN.MAG")};
    broken.data_crc = 0x1234;
    broken.crc_given = true;
    // A member claiming far more than a picture host can hold.
    lzhtest::Level2 huge;
    huge.method = "-lh5-";
    huge.data = lzhtest::Bomb(33);
    huge.original = uint64_t(512) << 20;
    huge.extensions = {lzhtest::NameExtension("HUGE.BMP")};
    lzhtest::Bytes first = broken.Build();
    WriteBytes(arc, lzhtest::Join({first, huge.Build(), {0}}));
    CreateDirectoryA(out.c_str(), nullptr);
    auto get = Get<GetFileFn>(spi, "GetFile");
    EXPECT_NE(get(arc.c_str(), 0, const_cast<LPSTR>(out.c_str()), 0, nullptr, 0), 0);
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((out + "*.*").c_str(), &found);
    int entries = 0;
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
                ++entries;
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    EXPECT_EQ(entries, 0);
    HLOCAL block = nullptr;
    EXPECT_EQ(get(arc.c_str(), static_cast<LONG_PTR>(first.size()), reinterpret_cast<LPSTR>(&block),
                  256, nullptr, 0),
              4); // out of memory, refused before anything is allocated
    EXPECT_EQ(block, nullptr);
    // The library's own entries answer the same archive with error codes.
    EXPECT_EQ(Unlha("t " + Q(arc)), 0x800C);
}

} // namespace

namespace {

// An archive of one stored member; the same size for every name of the same length.
lzhtest::Bytes OneMember(const std::string& name, const std::string& data) {
    lzhtest::Level2 m;
    m.data = lzhtest::Text(data);
    m.extensions = {lzhtest::NameExtension(name)};
    return lzhtest::Join({m.Build(), {0}});
}

void SetWritten(const std::string& path, int64_t ticks) {
    HANDLE f =
        CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME t{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SetFileTime(f, nullptr, nullptr, &t);
    CloseHandle(f);
}

} // namespace

// Listings are kept between calls while an archive is unchanged; one rewritten by another
// program, even to the same size, is read again by the library and by the plug-in.
TEST_F(Dlls, AnArchiveRewrittenOnDiskIsListedAgain) {
    const int64_t noon = 133000000000000000; // 100 ns ticks, some day in 2022
    WriteBytes(arc, OneMember("ONE.BMP", "first"));
    SetWritten(arc, noon);
    auto info = Get<FileInfoFn>(spi, "GetFileInfo");
    SpiFileInfo found{};
    ASSERT_EQ(List("*.*"), std::vector<std::string>{"ONE.BMP"});
    ASSERT_EQ(info(arc.c_str(), 0, "ONE.BMP", 128, &found), 0);

    WriteBytes(arc, OneMember("TWO.BMP", "other"));
    SetWritten(arc, noon + 10000000); // a second later
    EXPECT_EQ(List("*.*"), std::vector<std::string>{"TWO.BMP"});
    EXPECT_NE(info(arc.c_str(), 0, "ONE.BMP", 128, &found), 0);
    ASSERT_EQ(info(arc.c_str(), 0, "TWO.BMP", 128, &found), 0);
    HLOCAL block = nullptr;
    ASSERT_EQ(Get<GetFileFn>(spi, "GetFile")(arc.c_str(), static_cast<LONG_PTR>(found.position),
                                             reinterpret_cast<LPSTR>(&block), 256, nullptr, 0),
              0);
    EXPECT_EQ(std::string(static_cast<const char*>(LocalLock(block)), 5), "other");
    LocalUnlock(block);
    LocalFree(block);
}
