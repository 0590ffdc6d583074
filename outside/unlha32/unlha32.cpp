// UNLHA32.DLL: the common archiver interface over the portable LZH library.
#include "unlha32.h"
#include "lzh/archive.h"
#include "lzh/command.h"
#include "lzh/listing_cache.h"
#include "lzh/paths.h"
#include "win32_filesystem.h"
#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>

namespace {

constexpr WORD kVersion = 100;
constexpr int kErrNotEnoughMemory = 0x801E;

// Runs an entry's body; no exception may cross into the host, which answers `failure`.
template <class R, class F> R Guarded(R failure, F body) {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

std::atomic<bool> g_running{false};
std::mutex g_handles_mutex;
std::set<void*> g_handles;
BOOL g_background = FALSE, g_cursor = FALSE;
WORD g_cursor_interval = 80;

// Marks the library busy for one call; a second, overlapping call is refused.
class BusyGuard {
public:
    BusyGuard() : acquired_(!g_running.exchange(true)) {}
    ~BusyGuard() {
        if (acquired_) g_running = false;
    }
    bool acquired() const { return acquired_; }

private:
    bool acquired_;
};

struct Archive {
    std::string path;
    DWORD mode = 0;
    uint64_t file_size = 0;
    std::shared_ptr<const lzh::Listing> listing; // shared with the library's kept listings
    const std::vector<lzh::Member>& members() const { return listing->members; }
    std::string pattern;
    size_t next = 0;
    const lzh::Member* current = nullptr;
    bool searching = false;
};

std::string Unquoted(const char* text) {
    std::string s = text ? text : "";
    s.erase(std::remove(s.begin(), s.end(), '"'), s.end());
    while (!s.empty() && s.back() == ' ') s.pop_back();
    while (!s.empty() && s.front() == ' ') s.erase(s.begin());
    return s;
}

Archive* Lookup(HARC harc) {
    std::lock_guard<std::mutex> lock(g_handles_mutex);
    return g_handles.count(harc) ? static_cast<Archive*>(harc) : nullptr;
}

Archive* Current(HARC harc) {
    Archive* arc = Lookup(harc);
    return arc && arc->current ? arc : nullptr;
}

// A member matches the search pattern by its whole path when the archive was opened for
// full paths or the pattern names a folder; otherwise by its file name only.
bool Matches(const Archive& arc, const lzh::Member& m) {
    std::string pattern = lzh::JoinPath(lzh::SplitPath(arc.pattern), '/');
    bool whole = (arc.mode & M_CHECK_ALL_PATH) || pattern.find('/') != std::string::npos;
    return lzh::WildcardMatch(pattern, whole ? m.path : m.Name());
}

// Host systems numbered as the common archiver interface reports them.
UINT OsType(uint8_t os_id) {
    switch (os_id) {
    case 'M':
    case 0:
        return 0;
    case 'U':
        return 2;
    case 'A':
        return 3;
    case 'm':
        return 4;
    case '2':
        return 5;
    case 'a':
        return 7;
    case '9':
        return 11;
    case 'K':
        return 12;
    case '3':
        return 13;
    case 'H':
        return 14;
    case 'C':
        return 15;
    case 'F':
        return 16;
    case 'R':
        return 17;
    case 'W':
        return 18;
    case 'w':
        return 19;
    case 'T':
        return 20;
    case 'X':
        return 21;
    case 'J':
        return 22;
    default:
        return 23;
    }
}

WORD Ratio(uint64_t packed, uint64_t original) {
    if (original == 0) return 0;
    return static_cast<WORD>(std::min<uint64_t>(packed * 1000 / original, 0xFFFF));
}

std::string DisplayName(const lzh::Member& m) {
    return m.IsDirectory() ? m.path + "/" : m.path;
}

void CopyText(char* out, size_t size, const std::string& text) {
    if (!out || size == 0) return;
    size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

void FillInfo(const lzh::Member& m, INDIVIDUALINFO* info) {
    if (!info) return;
    std::memset(info, 0, sizeof *info);
    info->dwOriginalSize = static_cast<DWORD>(m.original_size);
    info->dwCompressedSize = static_cast<DWORD>(m.packed_size);
    info->dwCRC = m.crc;
    info->uOSType = OsType(m.os_id);
    info->wRatio = Ratio(m.packed_size, m.original_size);
    uint32_t dos = lzh::UnixToDosTime(m.mtime);
    info->wDate = static_cast<WORD>(dos >> 16);
    info->wTime = static_cast<WORD>(dos);
    CopyText(info->szFileName, sizeof info->szFileName, DisplayName(m));
    const char flags[] = "rhs-da";
    std::string attr;
    for (int bit = 0; bit < 6; ++bit)
        if (bit != 3) attr += (m.attribute >> bit & 1) ? flags[bit] : '-';
    CopyText(info->szAttribute, sizeof info->szAttribute, attr);
    CopyText(info->szMode, sizeof info->szMode, m.method);
}

int FindMatch(Archive& arc, INDIVIDUALINFO* info) {
    for (; arc.next < arc.members().size(); ++arc.next) {
        const lzh::Member& m = arc.members()[arc.next];
        if (!Matches(arc, m)) continue;
        arc.current = &m;
        ++arc.next;
        FillInfo(m, info);
        return 0;
    }
    arc.current = nullptr;
    return -1;
}

class NullSink : public lzh::Sink {
public:
    bool Write(const uint8_t*, size_t) override { return true; }
};

bool CheckFile(const std::string& path, int mode) {
    lzh::FileSource source(path);
    if (!source.IsOpen()) return false;
    uint8_t first = 1;
    if (source.Size() == 1 && source.Read(0, &first, 1) == 1 && first == 0) return true; // empty
    lzh::Listing listing = lzh::ListArchive(source);
    if (listing.members.empty()) return false;
    int depth = mode & 3;
    if (depth == CHECKARCHIVE_RAPID)
        return listing.status == lzh::Status::kOk || listing.members.size() >= 3;
    if (listing.status != lzh::Status::kOk) return false;
    if (depth < CHECKARCHIVE_FULLCRC) return true;
    for (const lzh::Member& m : listing.members) {
        NullSink sink;
        if (lzh::DecodeMember(source, m, sink) != lzh::Status::kOk) return false;
    }
    return true;
}

} // namespace

extern "C" {

int WINAPI Unlha(HWND, LPCSTR command, LPSTR output, DWORD size) {
    BusyGuard busy;
    if (!busy.acquired()) return UNLHA_ERROR_ALREADY_RUNNING;
    return Guarded(kErrNotEnoughMemory, [&] {
        lzh::Win32FileSystem fs;
        std::string text;
        int rc = lzh::RunCommand(command ? command : "", fs, text);
        lzh::ForgetListings(); // the command may have written an archive
        CopyText(output, size, text);
        return rc;
    });
}

} // extern "C"

// The preamble both memory entries share: one call at a time, a buffer to work on, and no
// exception into the host.
template <class F>
static int RunMemoryCommand(const void* buffer, DWORD size, LPDWORD written, F body) {
    BusyGuard busy;
    if (!busy.acquired()) return UNLHA_ERROR_ALREADY_RUNNING;
    if (written) *written = 0;
    if (!buffer && size > 0) return lzh::kErrNotFilename;
    return Guarded(kErrNotEnoughMemory, [&] {
        lzh::Win32FileSystem fs;
        const int rc = body(fs);
        lzh::ForgetListings(); // the command may have written an archive
        return rc;
    });
}

extern "C" {

int WINAPI UnlhaExtractMem(HWND, LPCSTR command, LPBYTE buffer, DWORD size, time_t* time,
                           LPWORD attribute, LPDWORD written) {
    return RunMemoryCommand(buffer, size, written, [&](lzh::FileSystem& fs) {
        lzh::Member member;
        size_t used = 0;
        int rc = lzh::ExtractToBuffer(command ? command : "", fs, buffer, size, used, member);
        if (written) *written = static_cast<DWORD>(used);
        if (time) *time = static_cast<time_t>(member.mtime);
        if (attribute) *attribute = member.attribute;
        return rc;
    });
}

int WINAPI UnlhaCompressMem(HWND, LPCSTR command, const BYTE* buffer, DWORD size,
                            const time_t* time, const WORD* attribute, LPDWORD written) {
    return RunMemoryCommand(buffer, size, written, [&](lzh::FileSystem& fs) {
        std::string text;
        int64_t mtime = time ? static_cast<int64_t>(*time) : 0;
        int rc = lzh::AddFromMemory(command ? command : "", fs, buffer, size, mtime,
                                    attribute ? *attribute : 0x20, text);
        if (rc == 0 && written) *written = size;
        return rc;
    });
}

// No settings dialog: the switches of each command line are the only settings.
BOOL WINAPI UnlhaConfigDialog(HWND, LPSTR, int) {
    return FALSE;
}

BOOL WINAPI UnlhaQueryFunctionList(int function) {
    // The numbers of the common archiver interface for the entries exported here.
    static const int kImplemented[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  16, 18, 19, 23,
                                       24, 25, 26, 31, 32, 40, 41, 42, 43, 44, 45, 46, 47,
                                       57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69};
    for (int f : kImplemented)
        if (f == function) return TRUE;
    return FALSE;
}

WORD WINAPI UnlhaGetVersion(void) {
    return kVersion;
}
WORD WINAPI UnlhaGetSubVersion(void) {
    return 0;
}
BOOL WINAPI UnlhaGetRunning(void) {
    return g_running ? TRUE : FALSE;
}
BOOL WINAPI UnlhaGetBackGroundMode(void) {
    return g_background;
}
BOOL WINAPI UnlhaSetBackGroundMode(BOOL mode) {
    g_background = mode;
    return TRUE;
}
BOOL WINAPI UnlhaGetCursorMode(void) {
    return g_cursor;
}
BOOL WINAPI UnlhaSetCursorMode(BOOL mode) {
    g_cursor = mode;
    return TRUE;
}
WORD WINAPI UnlhaGetCursorInterval(void) {
    return g_cursor_interval;
}
BOOL WINAPI UnlhaSetCursorInterval(WORD interval) {
    g_cursor_interval = interval;
    return TRUE;
}

BOOL WINAPI UnlhaCheckArchive(LPCSTR filename, int mode) {
    BusyGuard busy;
    return busy.acquired() && Guarded(false, [&] { return CheckFile(Unquoted(filename), mode); })
               ? TRUE
               : FALSE;
}

int WINAPI UnlhaGetFileCount(LPCSTR filename) {
    return Guarded(-1, [&] {
        lzh::FileSource source(Unquoted(filename));
        if (!source.IsOpen()) return -1;
        lzh::Listing listing = lzh::ListArchive(source);
        if (listing.members.empty() && listing.status != lzh::Status::kOk) return -1;
        return static_cast<int>(listing.members.size());
    });
}

static HARC OpenArchive(LPCSTR filename, DWORD mode) {
    auto arc = std::make_unique<Archive>();
    arc->path = Unquoted(filename);
    arc->mode = mode;
    lzh::FileListing file = lzh::ListArchiveFile(arc->path);
    if (!file.listing) return nullptr;
    const lzh::Listing& listing = *file.listing;
    bool usable = listing.status == lzh::Status::kOk || (mode & M_RECOVERY_ON);
    if (!usable || (listing.members.empty() && file.size > 1)) return nullptr;
    arc->listing = file.listing;
    arc->file_size = file.size;
    std::lock_guard<std::mutex> lock(g_handles_mutex);
    g_handles.insert(arc.get());
    return static_cast<HARC>(arc.release());
}

HARC WINAPI UnlhaOpenArchive(HWND, LPCSTR filename, DWORD mode) {
    return Guarded(HARC(nullptr), [&] { return OpenArchive(filename, mode); });
}

int WINAPI UnlhaCloseArchive(HARC harc) {
    std::lock_guard<std::mutex> lock(g_handles_mutex);
    if (!g_handles.erase(harc)) return UNLHA_ERROR_HARC_ISNOT_OPENED;
    delete static_cast<Archive*>(harc);
    return 0;
}

int WINAPI UnlhaFindFirst(HARC harc, LPCSTR pattern, INDIVIDUALINFO* info) {
    Archive* arc = Lookup(harc);
    if (!arc) return UNLHA_ERROR_HARC_ISNOT_OPENED;
    return Guarded(kErrNotEnoughMemory, [&] {
        arc->pattern = Unquoted(pattern);
        if (arc->pattern.empty()) arc->pattern = "*.*";
        arc->next = 0;
        arc->searching = true;
        return FindMatch(*arc, info);
    });
}

int WINAPI UnlhaFindNext(HARC harc, INDIVIDUALINFO* info) {
    Archive* arc = Lookup(harc);
    if (!arc) return UNLHA_ERROR_HARC_ISNOT_OPENED;
    if (!arc->searching) return UNLHA_ERROR_NOT_SEARCH_MODE;
    return Guarded(kErrNotEnoughMemory, [&] { return FindMatch(*arc, info); });
}

int WINAPI UnlhaGetArcFileName(HARC harc, LPSTR buffer, int size) {
    Archive* arc = Lookup(harc);
    if (!arc) return UNLHA_ERROR_HARC_ISNOT_OPENED;
    CopyText(buffer, size > 0 ? static_cast<size_t>(size) : 0, arc->path);
    return 0;
}

DWORD WINAPI UnlhaGetArcFileSize(HARC harc) {
    Archive* arc = Lookup(harc);
    return arc ? static_cast<DWORD>(arc->file_size) : static_cast<DWORD>(-1);
}

// The total of one size field over every member.
static uint64_t TotalOf(const Archive& arc, uint64_t lzh::Member::*field) {
    uint64_t total = 0;
    for (const auto& m : arc.members()) total += m.*field;
    return total;
}

DWORD WINAPI UnlhaGetArcOriginalSize(HARC harc) {
    Archive* arc = Lookup(harc);
    return arc ? static_cast<DWORD>(TotalOf(*arc, &lzh::Member::original_size))
               : static_cast<DWORD>(-1);
}

DWORD WINAPI UnlhaGetArcCompressedSize(HARC harc) {
    Archive* arc = Lookup(harc);
    return arc ? static_cast<DWORD>(TotalOf(*arc, &lzh::Member::packed_size))
               : static_cast<DWORD>(-1);
}

WORD WINAPI UnlhaGetArcRatio(HARC harc) {
    Archive* arc = Lookup(harc);
    if (!arc) return static_cast<WORD>(-1);
    return Ratio(TotalOf(*arc, &lzh::Member::packed_size),
                 TotalOf(*arc, &lzh::Member::original_size));
}

// The archive's date and time are those of its newest member.
static uint32_t ArcDosTime(Archive* arc) {
    int64_t newest = 0;
    for (const auto& m : arc->members()) newest = std::max(newest, m.mtime);
    return lzh::UnixToDosTime(newest);
}

WORD WINAPI UnlhaGetArcDate(HARC harc) {
    Archive* arc = Lookup(harc);
    return arc ? static_cast<WORD>(ArcDosTime(arc) >> 16) : static_cast<WORD>(-1);
}

WORD WINAPI UnlhaGetArcTime(HARC harc) {
    Archive* arc = Lookup(harc);
    return arc ? static_cast<WORD>(ArcDosTime(arc)) : static_cast<WORD>(-1);
}

UINT WINAPI UnlhaGetArcOSType(HARC harc) {
    Archive* arc = Lookup(harc);
    if (!arc || arc->members().empty()) return static_cast<UINT>(-1);
    return OsType(arc->members().front().os_id);
}

int WINAPI UnlhaGetFileName(HARC harc, LPSTR buffer, int size) {
    Archive* arc = Current(harc);
    if (!arc) return Lookup(harc) ? UNLHA_ERROR_NOT_SEARCH_MODE : UNLHA_ERROR_HARC_ISNOT_OPENED;
    return Guarded(kErrNotEnoughMemory, [&] {
        CopyText(buffer, size > 0 ? static_cast<size_t>(size) : 0, DisplayName(*arc->current));
        return 0;
    });
}

int WINAPI UnlhaGetMethod(HARC harc, LPSTR buffer, int size) {
    Archive* arc = Current(harc);
    if (!arc) return Lookup(harc) ? UNLHA_ERROR_NOT_SEARCH_MODE : UNLHA_ERROR_HARC_ISNOT_OPENED;
    CopyText(buffer, size > 0 ? static_cast<size_t>(size) : 0, arc->current->method);
    return 0;
}

DWORD WINAPI UnlhaGetOriginalSize(HARC harc) {
    Archive* arc = Current(harc);
    return arc ? static_cast<DWORD>(arc->current->original_size) : static_cast<DWORD>(-1);
}

DWORD WINAPI UnlhaGetCompressedSize(HARC harc) {
    Archive* arc = Current(harc);
    return arc ? static_cast<DWORD>(arc->current->packed_size) : static_cast<DWORD>(-1);
}

WORD WINAPI UnlhaGetRatio(HARC harc) {
    Archive* arc = Current(harc);
    return arc ? Ratio(arc->current->packed_size, arc->current->original_size)
               : static_cast<WORD>(-1);
}

WORD WINAPI UnlhaGetDate(HARC harc) {
    Archive* arc = Current(harc);
    return arc ? static_cast<WORD>(lzh::UnixToDosTime(arc->current->mtime) >> 16)
               : static_cast<WORD>(-1);
}

WORD WINAPI UnlhaGetTime(HARC harc) {
    Archive* arc = Current(harc);
    return arc ? static_cast<WORD>(lzh::UnixToDosTime(arc->current->mtime)) : static_cast<WORD>(-1);
}

// The stored modification time as Unix seconds; the archive keeps no other times.
DWORD WINAPI UnlhaGetWriteTime(HARC harc) {
    Archive* arc = Current(harc);
    return arc ? static_cast<DWORD>(arc->current->mtime) : static_cast<DWORD>(-1);
}
DWORD WINAPI UnlhaGetAccessTime(HARC harc) {
    return UnlhaGetWriteTime(harc);
}
DWORD WINAPI UnlhaGetCreateTime(HARC harc) {
    return UnlhaGetWriteTime(harc);
}

DWORD WINAPI UnlhaGetCRC(HARC harc) {
    Archive* arc = Current(harc);
    return arc ? arc->current->crc : static_cast<DWORD>(-1);
}

int WINAPI UnlhaGetAttribute(HARC harc) {
    Archive* arc = Current(harc);
    if (!arc) return -1;
    return arc->current->IsDirectory() ? (arc->current->attribute | 0x10) : arc->current->attribute;
}

UINT WINAPI UnlhaGetOSType(HARC harc) {
    Archive* arc = Current(harc);
    return arc ? OsType(arc->current->os_id) : static_cast<UINT>(-1);
}

// No progress messages are sent, so the owner window is only accepted.
BOOL WINAPI UnlhaSetOwnerWindow(HWND) {
    return TRUE;
}
BOOL WINAPI UnlhaClearOwnerWindow(void) {
    return TRUE;
}

} // extern "C"
