#include "win32_filesystem.h"
#include "lzh/header.h"
#include "lzh/paths.h"
#include <windows.h>
#include <algorithm>

namespace lzh {
namespace {

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
    return FiletimeToUnix(static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime);
}

FILETIME ToFiletime(int64_t unix_time) {
    uint64_t ticks = UnixToFiletime(unix_time);
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

class Win32Output : public OutputFile {
public:
    explicit Win32Output(HANDLE h) : file_(h) {}

protected:
    bool WriteAt(uint64_t offset, const uint8_t* data, size_t size) override {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(file_.get(), at, nullptr, FILE_BEGIN)) return false;
        while (size > 0) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1 << 24)), written = 0;
            if (!::WriteFile(file_.get(), data, chunk, &written, nullptr) || written == 0)
                return false;
            data += written;
            size -= written;
        }
        return true;
    }
    bool Commit() override {
        bool flushed = FlushFileBuffers(file_.get()) != 0;
        return file_.Close() && flushed;
    }

private:
    FileHandle file_;
};

// Identifies a file by volume and index, so that two spellings of one path compare equal.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    FileHandle file(CreateFileA(path.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.valid() && GetFileInformationByHandle(file.get(), &info);
}

} // namespace

std::unique_ptr<Source> Win32FileSystem::Open(const std::string& path) {
    auto source = std::make_unique<FileSource>(path);
    if (!source->IsOpen()) return nullptr;
    return source;
}

bool Win32FileSystem::Stat(const std::string& path, FileInfo& info) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    info.mtime = ToUnix(data.ftLastWriteTime);
    info.attribute = static_cast<uint16_t>(data.dwFileAttributes & 0x3F);
    info.is_directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return true;
}

std::unique_ptr<OutputFile> Win32FileSystem::Create(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32Output>(h);
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

bool Win32FileSystem::SameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    return FileIdentity(a, ia) && FileIdentity(b, ib) &&
           ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

bool Win32FileSystem::ListFolder(const std::string& path, std::vector<std::string>& names) {
    std::string pattern = path;
    if (!EndsWithSeparator(pattern)) pattern += '\\';
    WIN32_FIND_DATAA found;
    std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> search(
        FindFirstFileA((pattern + "*").c_str(), &found), FindClose);
    if (search.get() == INVALID_HANDLE_VALUE) {
        search.release();
        return false;
    }
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search.get(), &found));
    return true;
}

} // namespace lzh
