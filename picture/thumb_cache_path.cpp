#include "picture/thumb_cache_path.h"
#include "app/win_text.h"
#include "win/handles.h"
#include <shlobj.h>

namespace tovn {

namespace {

std::wstring Joined(const std::wstring& folder, const wchar_t* name) {
    if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/') return folder + name;
    return folder + L'\\' + name;
}

// Whether a new file can be made in folder: one is made under a fresh name and deleted.
bool TakesNewFiles(const std::wstring& folder) {
    wchar_t probe[MAX_PATH];
    if (folder.empty() || folder.size() >= MAX_PATH - 14 ||
        ::GetTempFileNameW(folder.c_str(), L"tvn", 0, probe) == 0)
        return false;
    ::DeleteFileW(probe);
    return true;
}

// A database that is missing can be made; one that exists must open for writing, and not be
// marked read-only (which Windows refuses to write whoever asks).
bool DatabaseWritable(const std::wstring& path) {
    if (!FileExists(path)) return true;
    if (::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY) return false;
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return bool(file);
}

bool Usable(const std::wstring& folder) {
    return TakesNewFiles(folder) && DatabaseWritable(Joined(folder, kThumbCacheFile));
}

std::string Utf8(const std::wstring& s) {
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, s.data(), int(s.size()), &out[0], n, nullptr, nullptr);
    return out;
}

} // namespace

std::wstring ThumbCachePathIn(const std::wstring& programFolder, const std::wstring& localAppData) {
    if (Usable(programFolder)) return Joined(programFolder, kThumbCacheFile);
    if (localAppData.empty()) return L"";
    const std::wstring own = Joined(localAppData, L"Tovane32");
    ::CreateDirectoryW(own.c_str(), nullptr);
    return Usable(own) ? Joined(own, kThumbCacheFile) : L"";
}

std::string ThumbCachePath() {
    const std::wstring program = ModulePath(nullptr);
    const size_t slash = program.find_last_of(L"\\/");
    wchar_t local[MAX_PATH] = L"";
    if (FAILED(
            ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local)))
        local[0] = L'\0';
    return Utf8(
        ThumbCachePathIn(slash == std::wstring::npos ? L"" : program.substr(0, slash), local));
}

} // namespace tovn
