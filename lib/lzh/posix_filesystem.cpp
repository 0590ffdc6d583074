#ifndef _WIN32
#include "lzh/filesystem.h"
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace lzh {
namespace {

class PosixOutput : public OutputFile {
public:
    explicit PosixOutput(int fd) : fd_(fd) {}
    ~PosixOutput() override {
        if (fd_ >= 0) ::close(fd_);
    }
    PosixOutput(const PosixOutput&) = delete;
    PosixOutput& operator=(const PosixOutput&) = delete;

protected:
    bool WriteAt(uint64_t offset, const uint8_t* data, size_t size) override {
        while (size > 0) {
            ssize_t n = ::pwrite(fd_, data, size, static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            data += n, size -= static_cast<size_t>(n), offset += static_cast<uint64_t>(n);
        }
        return true;
    }
    bool Commit() override {
        bool ok = ::fsync(fd_) == 0;
        ok = ::close(fd_) == 0 && ok;
        fd_ = -1;
        return ok;
    }

private:
    int fd_;
};

} // namespace

std::unique_ptr<Source> PosixFileSystem::Open(const std::string& path) {
    auto source = std::make_unique<FileSource>(path);
    if (!source->IsOpen()) return nullptr;
    return source;
}

bool PosixFileSystem::Stat(const std::string& path, FileInfo& info) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    info.mtime = st.st_mtime;
    info.is_directory = S_ISDIR(st.st_mode);
    info.attribute = info.is_directory ? 0x10 : 0x20;
    return true;
}

std::unique_ptr<OutputFile> PosixFileSystem::Create(const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixOutput>(fd);
}

bool PosixFileSystem::Replace(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixFileSystem::Remove(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

bool PosixFileSystem::MakeDirectories(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        std::string part = path.substr(0, i);
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void PosixFileSystem::SetTime(const std::string& path, int64_t mtime) {
    struct utimbuf times = {static_cast<time_t>(mtime), static_cast<time_t>(mtime)};
    ::utime(path.c_str(), &times);
}

bool PosixFileSystem::SameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool PosixFileSystem::ListFolder(const std::string& path, std::vector<std::string>& names) {
    DIR* dir = ::opendir(path.c_str());
    if (!dir) return false;
    while (dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return true;
}

} // namespace lzh
#endif
