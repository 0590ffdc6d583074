#pragma once
#include "lzh/decode.h"
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

// A file being written through a buffer of bounded size. Seek() lets a writer go back to fill
// in a header once the data behind it is known. Close() flushes everything to the disk and
// tells whether every write reached it.
class OutputFile : public Sink {
public:
    bool Write(const uint8_t* data, size_t size) override;
    bool Seek(uint64_t offset);
    uint64_t Position() const { return position_ + buffer_.size(); }
    bool Close();

protected:
    virtual bool WriteAt(uint64_t offset, const uint8_t* data, size_t size) = 0;
    virtual bool Commit() = 0; // flush to the disk and close the handle

private:
    bool Flush();

    static constexpr size_t kBufferSize = 1 << 20;
    std::vector<uint8_t> buffer_;
    uint64_t position_ = 0;
    bool failed_ = false, closed_ = false;
};

// An output that collects the bytes in memory.
class MemoryOutput : public OutputFile {
public:
    std::vector<uint8_t>& bytes() { return bytes_; }

protected:
    bool WriteAt(uint64_t offset, const uint8_t* data, size_t size) override;
    bool Commit() override { return true; }

private:
    std::vector<uint8_t> bytes_;
};

// The file operations archive commands need: POSIX on the host, Win32 in the DLL, and
// failure-injecting wrappers in tests. Paths are native (code page 932 bytes on Windows).
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual char Separator() const = 0;
    virtual std::unique_ptr<Source> Open(const std::string& path) = 0; // null when unreadable
    virtual bool Stat(const std::string& path, FileInfo& info) = 0;    // false: does not exist
    // Creates or truncates `path` for writing; null when that fails.
    virtual std::unique_ptr<OutputFile> Create(const std::string& path) = 0;
    // Moves `from` over `to` in one step, replacing `to` if it exists.
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    virtual bool Remove(const std::string& path) = 0;
    virtual bool MakeDirectories(const std::string& path) = 0;
    virtual void SetTime(const std::string& path, int64_t mtime) = 0;
    // True when both names lead to one existing file, however they are spelt.
    virtual bool SameFile(const std::string& a, const std::string& b) = 0;
    // The names (not paths) of the entries of a folder, without "." and "..".
    virtual bool ListFolder(const std::string& path, std::vector<std::string>& names) = 0;
};

#ifndef _WIN32
class PosixFileSystem : public FileSystem {
public:
    char Separator() const override { return '/'; }
    std::unique_ptr<Source> Open(const std::string& path) override;
    bool Stat(const std::string& path, FileInfo& info) override;
    std::unique_ptr<OutputFile> Create(const std::string& path) override;
    bool Replace(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override;
    bool MakeDirectories(const std::string& path) override;
    void SetTime(const std::string& path, int64_t mtime) override;
    bool SameFile(const std::string& a, const std::string& b) override;
    bool ListFolder(const std::string& path, std::vector<std::string>& names) override;
};
#endif

} // namespace lzh
