#pragma once
#include "lzh/source.h"
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lzh {

struct FileInfo {
    int64_t mtime = 0; // Unix seconds, UTC
    uint16_t attribute = 0x20;
    bool is_directory = false;
};

// The file operations archive commands need: POSIX on the host, Win32 in the DLL, and
// failure-injecting wrappers in tests. Paths are native (code page 932 bytes on Windows).
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual char Separator() const = 0;
    virtual std::unique_ptr<Source> Open(const std::string& path) = 0; // null when unreadable
    virtual bool ReadFile(const std::string& path, std::vector<uint8_t>& data) = 0;
    virtual bool Stat(const std::string& path, FileInfo& info) = 0; // false: does not exist
    // Creates or truncates `path` and writes all of `data`, flushed to the disk.
    virtual bool WriteFile(const std::string& path, const std::vector<uint8_t>& data) = 0;
    // Moves `from` over `to` in one step, replacing `to` if it exists.
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    virtual bool Remove(const std::string& path) = 0;
    virtual bool MakeDirectories(const std::string& path) = 0;
    virtual void SetTime(const std::string& path, int64_t mtime) = 0;
    // Names of the plain files (no folders) in folder ("" is the current folder; a
    // trailing separator is allowed).
    virtual std::vector<std::string> ListFiles(const std::string& folder) = 0;
};

#ifndef _WIN32
class PosixFileSystem : public FileSystem {
public:
    char Separator() const override { return '/'; }
    std::unique_ptr<Source> Open(const std::string& path) override;
    bool ReadFile(const std::string& path, std::vector<uint8_t>& data) override;
    bool Stat(const std::string& path, FileInfo& info) override;
    bool WriteFile(const std::string& path, const std::vector<uint8_t>& data) override;
    bool Replace(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override;
    bool MakeDirectories(const std::string& path) override;
    void SetTime(const std::string& path, int64_t mtime) override;
    std::vector<std::string> ListFiles(const std::string& folder) override;
};
#endif

} // namespace lzh
