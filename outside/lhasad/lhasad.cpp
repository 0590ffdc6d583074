// LHASAD.SPI: a Susie archive plug-in ("00AM") that reads members of LZH archives.
#include "lzh/archive.h"
#include "lzh/listing_cache.h"
#include "lzh/paths.h"
#include "published/susie.h"
#include "../unlha32/win32_filesystem.h"
#include <windows.h>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

using SusieFileInfo = tovn::susie::FileInfo;

typedef int(CALLBACK* ProgressCallback)(int, int, LONG_PTR);

enum : int {
    kOk = 0,
    kAborted = 1,
    kUnknownFormat = 2,
    kBroken = 3,
    kNoMemory = 4,
    kReadError = 6,
    kWriteError = 9,
    kNotImplemented = -1,
};

constexpr unsigned kInputMask = 0x7, kOutputMask = 0x700, kCaseInsensitive = 0x80;

// The listing of the archive a plug-in call names: a file's (kept between calls while the
// file is unchanged) or a memory image's.
std::shared_ptr<const lzh::Listing> ListInput(LPCSTR buf, LONG_PTR len, unsigned flag) {
    if ((flag & kInputMask) == 1) {
        if (!buf || len <= 0) return nullptr;
        lzh::MemorySource source(reinterpret_cast<const uint8_t*>(buf), static_cast<size_t>(len));
        return std::make_shared<const lzh::Listing>(lzh::ListArchive(source));
    }
    if ((flag & kInputMask) != 0 || !buf) return nullptr;
    return lzh::ListArchiveFile(buf).listing;
}

// Windows-style directory part ("dir1\dir2\") and name of a member.
void FillInfo(const lzh::Member& m, SusieFileInfo& info) {
    std::memset(&info, 0, sizeof info);
    std::memcpy(info.method, m.method.data(), std::min<size_t>(m.method.size(), 7));
    info.position = static_cast<ULONG_PTR>(m.header_offset);
    info.compsize = static_cast<ULONG_PTR>(m.packed_size);
    info.filesize = static_cast<ULONG_PTR>(m.original_size);
    info.timestamp = static_cast<LONG_PTR>(m.mtime);
    std::string dir = m.IsDirectory() ? m.path + "/" : m.Dir();
    std::replace(dir.begin(), dir.end(), '/', '\\');
    std::string name = m.IsDirectory() ? std::string() : m.Name();
    std::memcpy(info.path, dir.data(), std::min<size_t>(dir.size(), sizeof info.path - 1));
    std::memcpy(info.filename, name.data(),
                std::min<size_t>(name.size(), sizeof info.filename - 1));
    info.crc = m.crc;
}

bool NameMatches(const lzh::Member& m, const std::string& wanted, bool ignore_case) {
    std::string normalized = lzh::JoinPath(lzh::SplitPath(wanted), '/');
    return ignore_case ? lzh::SameName(normalized, m.path) : normalized == m.path;
}

// Runs an entry's body; no exception may cross into the host, which gets `failure`.
template <class F> int Guarded(int failure, F body) {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

int ToSusie(lzh::Status status) {
    return status == lzh::Status::kOk         ? kOk
           : status == lzh::Status::kTooLarge ? kNoMemory
                                              : kBroken;
}

// Streams a member into `folder` under its file name. The data goes to a file beside it
// first, so a failed write leaves neither a partial file nor a damaged older one.
int WriteToFolder(lzh::Source& source, const char* folder, const lzh::Member& m) {
    std::string name = lzh::SafeRelativePath(m.Name());
    if (!folder || name.empty()) return kWriteError;
    std::string path = folder;
    if (!path.empty() && !lzh::EndsWithSeparator(path)) path += '\\';
    path += name;
    std::string temp = path + ".$$$";
    lzh::Win32FileSystem fs;
    std::unique_ptr<lzh::OutputFile> out = fs.Create(temp);
    if (!out) return kWriteError;
    lzh::Status status = lzh::ExtractMember(source, m, *out);
    bool written = out->Close();
    out.reset();
    int rc = !written ? kWriteError : ToSusie(status);
    if (rc == kOk && !fs.Replace(temp, path)) rc = kWriteError;
    if (rc != kOk) fs.Remove(temp);
    return rc;
}

// Decodes a member into a new LocalAlloc block of its size; larger members than a picture
// host can use are refused before anything is allocated.
int ReadToMemory(lzh::Source& source, const lzh::Member& m, HLOCAL* out) {
    if (m.original_size > lzh::kMaxMemoryMember) return kNoMemory;
    size_t size = static_cast<size_t>(m.original_size);
    HLOCAL block = LocalAlloc(LMEM_FIXED, size ? size : 1);
    if (!block) return kNoMemory;
    size_t used = 0;
    int rc = ToSusie(lzh::ExtractToBlock(source, m, static_cast<uint8_t*>(block), size, used));
    if (rc != kOk) {
        LocalFree(block);
        return rc;
    }
    if (used < size) { // a Macintosh member's data fork is shorter than the stored data
        HLOCAL smaller = LocalReAlloc(block, used ? used : 1, LMEM_MOVEABLE);
        if (smaller) block = smaller;
    }
    *out = block;
    return kOk;
}

} // namespace

extern "C" {

int WINAPI GetPluginInfo(int infono, LPSTR buf, int buflen) {
    static const char* const info[] = {"00AM", "LHASAD: LZH archive reader for Tovane 32", "*.lzh",
                                       "LZH archive"};
    if (infono < 0 || infono >= 4 || !buf || buflen <= 0) return 0;
    size_t n = std::min(std::strlen(info[infono]), static_cast<size_t>(buflen - 1));
    std::memcpy(buf, info[infono], n);
    buf[n] = '\0';
    return static_cast<int>(n);
}

int WINAPI IsSupported(LPCSTR, void* dw) {
    uint8_t head[2048] = {};
    if ((reinterpret_cast<ULONG_PTR>(dw) & ~static_cast<ULONG_PTR>(0xFFFF)) != 0) {
        std::memcpy(head, dw, 64);
    } else {
        DWORD got = 0;
        if (!ReadFile(static_cast<HANDLE>(dw), head, 64, &got, nullptr)) return 0;
    }
    return lzh::LooksLikeArchive(head, 64) ? 1 : 0;
}

static int GetArchiveInfoBody(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL* lphInf) {
    if (!lphInf) return kNotImplemented;
    *lphInf = nullptr;
    const std::shared_ptr<const lzh::Listing> kept = ListInput(buf, len, flag);
    if (!kept) return (flag & kInputMask) > 1 ? kNotImplemented : kReadError;
    const lzh::Listing& listing = *kept;
    if (listing.members.empty() && listing.status != lzh::Status::kOk) return kUnknownFormat;
    size_t count = listing.members.size();
    HLOCAL block = LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, (count + 1) * sizeof(SusieFileInfo));
    if (!block) return kNoMemory;
    auto* entries = static_cast<SusieFileInfo*>(block);
    for (size_t i = 0; i < count; ++i) FillInfo(listing.members[i], entries[i]);
    *lphInf = block;
    return kOk;
}

int WINAPI GetArchiveInfo(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL* lphInf) {
    return Guarded(kNoMemory, [&] { return GetArchiveInfoBody(buf, len, flag, lphInf); });
}

static int GetFileInfoBody(LPCSTR buf, LONG_PTR len, LPCSTR filename, unsigned int flag,
                           SusieFileInfo* lpInfo) {
    if (!filename || !lpInfo) return kNotImplemented;
    const std::shared_ptr<const lzh::Listing> kept = ListInput(buf, len, flag);
    if (!kept) return (flag & kInputMask) > 1 ? kNotImplemented : kReadError;
    const lzh::Listing& listing = *kept;
    for (const lzh::Member& m : listing.members) {
        if (!NameMatches(m, filename, (flag & kCaseInsensitive) != 0)) continue;
        FillInfo(m, *lpInfo);
        return kOk;
    }
    return listing.members.empty() ? kUnknownFormat : kBroken;
}

int WINAPI GetFileInfo(LPCSTR buf, LONG_PTR len, LPCSTR filename, unsigned int flag,
                       SusieFileInfo* lpInfo) {
    return Guarded(kNoMemory, [&] { return GetFileInfoBody(buf, len, filename, flag, lpInfo); });
}

static int GetFileBody(LPCSTR src, LONG_PTR len, LPSTR dest, unsigned int flag,
                       ProgressCallback progress, LONG_PTR lData) {
    // In a file, members are found by the position GetArchiveInfo reported; in memory, src
    // is the archive image from that position on and len the bytes that follow.
    const unsigned input = flag & kInputMask;
    if (input > 1 || !src || !dest || len < 0) return kNotImplemented;
    std::unique_ptr<lzh::Source> opened;
    uint64_t at = 0;
    if (input == 1) {
        opened = std::make_unique<lzh::MemorySource>(reinterpret_cast<const uint8_t*>(src),
                                                     static_cast<size_t>(len));
    } else {
        auto file = std::make_unique<lzh::FileSource>(src);
        if (!file->IsOpen()) return kReadError;
        opened = std::move(file);
        at = static_cast<uint64_t>(len);
    }
    lzh::Source& source = *opened;
    lzh::Member member;
    if (lzh::ReadHeader(source, at, member) != lzh::Status::kOk) return kBroken;
    if (member.data_offset > source.Size() ||
        member.packed_size > source.Size() - member.data_offset)
        return kBroken;
    if (progress && progress(0, 1, lData)) return kAborted;
    int rc = (flag & kOutputMask) == 0
                 ? WriteToFolder(source, dest, member)
                 : ReadToMemory(source, member, reinterpret_cast<HLOCAL*>(dest));
    if (rc == kOk && progress && progress(1, 1, lData)) return kAborted;
    return rc;
}

int WINAPI GetFile(LPCSTR src, LONG_PTR len, LPSTR dest, unsigned int flag,
                   ProgressCallback progress, LONG_PTR lData) {
    return Guarded(kNoMemory, [&] { return GetFileBody(src, len, dest, flag, progress, lData); });
}

} // extern "C"
