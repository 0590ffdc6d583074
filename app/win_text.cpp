#include "app/win_text.h"
#include "win/handles.h"

namespace tovn {

std::string ToAnsi(const std::wstring& s) {
    if (s.empty()) return std::string();
    int n = ::WideCharToMultiByte(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0,
                                  nullptr, nullptr);
    std::string out(n, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), &out[0], n, nullptr,
                          nullptr);
    return out;
}

std::wstring FromAnsi(const std::string& s) {
    if (s.empty()) return std::wstring();
    int n = ::MultiByteToWideChar(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), &out[0], n);
    return out;
}

bool ExactAnsi(const std::wstring& s, std::string& out) {
    out.clear();
    if (s.empty()) return true;
    const int size = static_cast<int>(s.size());
    BOOL defaulted = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.c_str(), size, nullptr, 0,
                                        nullptr, &defaulted);
    if (n <= 0 || defaulted) return false;
    out.resize(static_cast<size_t>(n));
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.c_str(), size, &out[0], n, nullptr,
                          &defaulted);
    return !defaulted && FromAnsi(out) == s;
}

namespace {
DWORD Attributes(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str());
}
} // namespace

bool FileExists(const std::wstring& path) {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
    if (path.empty()) return false;
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::wstring& path) {
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    return bytes.empty() ||
           (::ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) &&
            got == bytes.size());
}

bool ReadFileStart(const std::wstring& path, size_t limit, std::string& bytes, bool& whole) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bytes.clear();
    whole = false;
    char piece[1 << 16];
    while (bytes.size() <= limit) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), piece, sizeof piece, &got, nullptr)) return false;
        if (got == 0) {
            whole = true;
            return true;
        }
        bytes.append(piece, got);
    }
    bytes.resize(limit);
    return true;
}

bool WriteFileBytes(const std::wstring& path, const void* data, size_t size) {
    if (size > 0xFFFFFFFFu) return false;
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
    wchar_t temp[MAX_PATH] = {};
    if (!::GetTempFileNameW(folder.c_str(), L"TVN", 0, temp)) return false;
    bool ok;
    {
        UniqueFile file(::CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        ok = file && ::WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) &&
             written == size && ::FlushFileBuffers(file.get());
    }
    // A file being replaced keeps its attributes (a hidden batch file stays hidden).
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    ok =
        ok && ::MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (ok && attributes != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesW(path.c_str(), attributes);
    if (!ok) ::DeleteFileW(temp);
    return ok;
}

bool ClearTempDir(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    UniqueFind find(::FindFirstFileW((folder + L"*.*").c_str(), &fd));
    if (find) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + name;
            const DWORD a = fd.dwFileAttributes;
            // A linked folder goes as a link: what it points at is not the work folder's.
            if ((a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_REPARSE_POINT)) {
                ::RemoveDirectoryW(path.c_str());
                continue;
            }
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (a & FILE_ATTRIBUTE_DIRECTORY)
                ClearTempDir(path + L"\\");
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(find.get(), &fd));
    }
    find.reset();
    ::RemoveDirectoryW(folder.c_str());
    return !PathExists(folder);
}

unsigned CurrentShiftState(bool altDown) {
    unsigned s = 0;
    if (::GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (::GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (altDown || ::GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

std::wstring ModulePath(HMODULE module) {
    wchar_t buf[MAX_PATH * 2];
    DWORD n = ::GetModuleFileNameW(module, buf, MAX_PATH * 2);
    return std::wstring(buf, n);
}

} // namespace tovn
