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

std::unique_ptr<Source> PosixFileSystem::Open(const std::string& path) {
    auto source = std::make_unique<FileSource>(path);
    if (!source->IsOpen()) return nullptr;
    return source;
}

bool PosixFileSystem::ReadFile(const std::string& path, std::vector<uint8_t>& data) {
    FileSource source(path);
    if (!source.IsOpen()) return false;
    data.resize(static_cast<size_t>(source.Size()));
    return source.Read(0, data.data(), data.size()) == data.size();
}

bool PosixFileSystem::Stat(const std::string& path, FileInfo& info) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    info.mtime = st.st_mtime;
    info.is_directory = S_ISDIR(st.st_mode);
    info.attribute = info.is_directory ? 0x10 : 0x20;
    return true;
}

bool PosixFileSystem::WriteFile(const std::string& path, const std::vector<uint8_t>& data) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    bool ok = done == data.size() && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
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

std::vector<std::string> PosixFileSystem::ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    const std::string base = folder.empty() ? "./" : folder.back() == '/' ? folder : folder + "/";
    DIR* dir = ::opendir(base.c_str());
    if (!dir) return names;
    while (const dirent* e = ::readdir(dir)) {
        struct stat st;
        if (::stat((base + e->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            names.push_back(e->d_name);
    }
    ::closedir(dir);
    return names;
}

} // namespace lzh
#endif
