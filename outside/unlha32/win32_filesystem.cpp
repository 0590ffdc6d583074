#include "win32_filesystem.h"
#include "lzh/paths.h"
#include <windows.h>
#include <algorithm>

namespace lzh {
namespace {

constexpr int64_t kUnixEpochTicks = 116444736000000000LL; // 1970 in FILETIME units

// Closes a file handle when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() {
        if (valid()) CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    bool Close() {
        HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return CloseHandle(h) != 0;
    }

private:
    HANDLE h_;
};

int64_t ToUnix(const FILETIME& ft) {
    int64_t ticks =
        static_cast<int64_t>(static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime);
    return (ticks - kUnixEpochTicks) / 10000000;
}

FILETIME ToFiletime(int64_t unix_time) {
    uint64_t ticks = static_cast<uint64_t>(unix_time * 10000000 + kUnixEpochTicks);
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

} // namespace

std::unique_ptr<Source> Win32FileSystem::Open(const std::string& path) {
    auto source = std::make_unique<FileSource>(path);
    if (!source->IsOpen()) return nullptr;
    return source;
}

bool Win32FileSystem::ReadFile(const std::string& path, std::vector<uint8_t>& data) {
    FileSource source(path);
    if (!source.IsOpen() || source.Size() > 0xFFFFFFFFu) return false;
    data.resize(static_cast<size_t>(source.Size()));
    return source.Read(0, data.data(), data.size()) == data.size();
}

bool Win32FileSystem::Stat(const std::string& path, FileInfo& info) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    info.mtime = ToUnix(data.ftLastWriteTime);
    info.attribute = static_cast<uint16_t>(data.dwFileAttributes & 0x3F);
    info.is_directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return true;
}

bool Win32FileSystem::WriteFile(const std::string& path, const std::vector<uint8_t>& data) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    size_t done = 0;
    while (done < data.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1 << 24)),
              written = 0;
        if (!::WriteFile(file.get(), data.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return FlushFileBuffers(file.get()) && file.Close();
}

bool Win32FileSystem::Replace(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32FileSystem::Remove(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

bool Win32FileSystem::MakeDirectories(const std::string& path) {
    // Create each prefix that ends at a separator; a 0x5C inside a two-byte character is
    // not one.
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && IsSjisLead(static_cast<unsigned char>(path[i]))) {
            ++i;
            continue;
        }
        if (i < path.size() && path[i] != '\\' && path[i] != '/') continue;
        std::string part = path.substr(0, i);
        if (part.empty() || part.back() == ':' ||
            GetFileAttributesA(part.c_str()) != INVALID_FILE_ATTRIBUTES)
            continue;
        if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

void Win32FileSystem::SetTime(const std::string& path, int64_t mtime) {
    FileHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return;
    FILETIME ft = ToFiletime(mtime);
    SetFileTime(file.get(), nullptr, nullptr, &ft);
}

std::vector<std::string> Win32FileSystem::ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    bool ends =
        folder.empty() || folder.back() == '\\' || folder.back() == '/' || folder.back() == ':';
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + (ends ? "*" : "\\*")).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

} // namespace lzh
