// The published records and entries, checked in the running program's own width: the layout
// a third-party host or component expects, every entry found under its plain name, and (in the
// 32-bit build) every entry a host calls removing its own arguments from the stack.
#include "published/susie.h"
#include "published/unlha32.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <cstddef>
#include <string>
#include <vector>

namespace {

constexpr size_t P = sizeof(void*);

TEST(PublishedLayout, PictureInfo) {
    using tovn::susie::PictureInfo;
    EXPECT_EQ(offsetof(PictureInfo, left), 0u);
    EXPECT_EQ(offsetof(PictureInfo, top), 4u);
    EXPECT_EQ(offsetof(PictureInfo, width), 8u);
    EXPECT_EQ(offsetof(PictureInfo, height), 12u);
    EXPECT_EQ(offsetof(PictureInfo, x_density), 16u);
    EXPECT_EQ(offsetof(PictureInfo, y_density), 18u);
    EXPECT_EQ(offsetof(PictureInfo, colorDepth), 20u);
    EXPECT_EQ(offsetof(PictureInfo, hInfo), P == 8 ? 24u : 22u);
    EXPECT_EQ(sizeof(PictureInfo), P == 8 ? 32u : 26u);
}

TEST(PublishedLayout, ArchivePluginFileInfo) {
    using tovn::susie::FileInfo;
    EXPECT_EQ(offsetof(FileInfo, method), 0u);
    EXPECT_EQ(offsetof(FileInfo, position), 8u);
    EXPECT_EQ(offsetof(FileInfo, compsize), 8 + P);
    EXPECT_EQ(offsetof(FileInfo, filesize), 8 + 2 * P);
    EXPECT_EQ(offsetof(FileInfo, timestamp), 8 + 3 * P);
    EXPECT_EQ(offsetof(FileInfo, path), 8 + 4 * P);
    EXPECT_EQ(offsetof(FileInfo, filename), 8 + 4 * P + 200);
    EXPECT_EQ(offsetof(FileInfo, crc), 8 + 4 * P + 400);
    EXPECT_EQ(sizeof(FileInfo), P == 8 ? 448u : 428u);
}

TEST(PublishedLayout, IndividualInfo) {
    EXPECT_EQ(offsetof(INDIVIDUALINFO, dwOriginalSize), 0u);
    EXPECT_EQ(offsetof(INDIVIDUALINFO, dwCompressedSize), 4u);
    EXPECT_EQ(offsetof(INDIVIDUALINFO, dwCRC), 8u);
    EXPECT_EQ(offsetof(INDIVIDUALINFO, uFlag), 12u);
    EXPECT_EQ(offsetof(INDIVIDUALINFO, uOSType), 16u);
    EXPECT_EQ(offsetof(INDIVIDUALINFO, wRatio), 20u);
    EXPECT_EQ(offsetof(INDIVIDUALINFO, wDate), 22u);
    EXPECT_EQ(offsetof(INDIVIDUALINFO, wTime), 24u);
    EXPECT_EQ(offsetof(INDIVIDUALINFO, szFileName), 26u);
    EXPECT_EQ(offsetof(INDIVIDUALINFO, szAttribute), 542u);
    EXPECT_EQ(offsetof(INDIVIDUALINFO, szMode), 550u);
    EXPECT_EQ(sizeof(INDIVIDUALINFO), 558u);
}

struct Component {
    const wchar_t* file;
    std::vector<const char*> entries;
};

const std::vector<Component>& Components() {
    static const std::vector<Component> all = {
        {L"UNLHA32.DLL",
         {"Unlha", "UnlhaGetVersion", "UnlhaGetRunning", "UnlhaCheckArchive", "UnlhaGetFileCount",
          "UnlhaOpenArchive", "UnlhaCloseArchive", "UnlhaFindFirst", "UnlhaFindNext",
          "UnlhaExtractMem", "UnlhaCompressMem", "UnlhaQueryFunctionList"}},
        {L"LHASAD.SPI",
         {"GetPluginInfo", "IsSupported", "GetArchiveInfo", "GetFileInfo", "GetFile"}},
        {L"IFMAG.SPI", {"GetPluginInfo", "IsSupported", "GetPictureInfo", "GetPicture"}},
        {L"IFPI.SPI", {"GetPluginInfo", "IsSupported", "GetPictureInfo", "GetPicture"}},
        {L"IFPIC.SPI", {"GetPluginInfo", "IsSupported", "GetPictureInfo", "GetPicture"}},
        {L"IFWIC.SPI", {"GetPluginInfo", "IsSupported", "GetPictureInfo", "GetPicture"}},
        {L"HUEDEN32.DLL", {"Huedenize"}},
        {L"TovnKH.dll", {"SetHook", "RemoveHook"}},
    };
    return all;
}

struct Library {
    explicit Library(const wchar_t* file) : module(::LoadLibraryW(file)) {}
    ~Library() {
        if (module) ::FreeLibrary(module);
    }
    HMODULE module;
};

TEST(PublishedEntries, EveryEntryHasItsPlainName) {
    for (const Component& c : Components()) {
        Library lib(c.file);
        ASSERT_NE(lib.module, nullptr) << "cannot load the component";
        for (const char* name : c.entries)
            EXPECT_NE(::GetProcAddress(lib.module, name), nullptr) << name;
    }
}

#if defined(__i386__)
// Calls f with n DWORD arguments (args[0] first) and returns by how many bytes the stack
// pointer moved across the call: 0 when the entry removed its own arguments (stdcall).
int StackDrift(FARPROC f, const DWORD* args, int n) {
    int drift = 0;
    __asm__ volatile("movl %[f], %%eax\n\t"
                     "movl %[n], %%ecx\n\t"
                     "movl %%esp, %%esi\n\t"
                     "1:\n\t"
                     "testl %%ecx, %%ecx\n\t"
                     "jz 2f\n\t"
                     "pushl -4(%%edi,%%ecx,4)\n\t"
                     "decl %%ecx\n\t"
                     "jmp 1b\n\t"
                     "2:\n\t"
                     "call *%%eax\n\t"
                     "movl %%esi, %%edx\n\t"
                     "subl %%esp, %%edx\n\t"
                     "movl %%esi, %%esp\n\t"
                     "movl %%edx, %[drift]\n\t"
                     : [drift] "=m"(drift)
                     : [f] "m"(f), [n] "m"(n), "D"(args)
                     : "eax", "ecx", "edx", "esi", "memory", "cc");
    return drift;
}

DWORD Arg(const void* p) {
    return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(p));
}

// Each entry a host calls, with arguments it refuses or answers harmlessly.
TEST(PublishedEntries, EntriesRemoveTheirOwnArguments) {
    static char buffer[2048];
    static const char missing[] = "Z:\\no such file.lzh";
    struct Call {
        const wchar_t* file;
        const char* name;
        std::vector<DWORD> args;
    };
    const std::vector<Call> calls = {
        {L"UNLHA32.DLL", "UnlhaGetVersion", {}},
        {L"UNLHA32.DLL", "UnlhaGetRunning", {}},
        {L"UNLHA32.DLL", "UnlhaCheckArchive", {Arg(missing), 0}},
        {L"UNLHA32.DLL", "Unlha", {0, Arg("l"), Arg(buffer), sizeof buffer}},
        {L"LHASAD.SPI", "GetPluginInfo", {0, Arg(buffer), sizeof buffer}},
        {L"LHASAD.SPI", "IsSupported", {Arg(missing), Arg(buffer)}},
        {L"IFMAG.SPI", "GetPluginInfo", {0, Arg(buffer), sizeof buffer}},
        {L"IFMAG.SPI", "IsSupported", {Arg(missing), Arg(buffer)}},
        {L"IFPI.SPI", "IsSupported", {Arg(missing), Arg(buffer)}},
        {L"IFPIC.SPI", "IsSupported", {Arg(missing), Arg(buffer)}},
        {L"IFWIC.SPI", "GetPluginInfo", {0, Arg(buffer), sizeof buffer}},
        {L"HUEDEN32.DLL", "Huedenize", {0, 0, 0, 0, 8, 4, 256, 0, 0, 0, 0}},
        {L"TovnKH.dll", "SetHook", {0}},
        {L"TovnKH.dll", "RemoveHook", {}},
    };
    for (const Call& c : calls) {
        Library lib(c.file);
        ASSERT_NE(lib.module, nullptr);
        FARPROC f = ::GetProcAddress(lib.module, c.name);
        ASSERT_NE(f, nullptr) << c.name;
        EXPECT_EQ(StackDrift(f, c.args.data(), static_cast<int>(c.args.size())), 0) << c.name;
    }
}
#endif

} // namespace
