#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace lzh {

// Random-access bytes of an archive: a file on disk or a block in memory.
class Source {
public:
    virtual ~Source() = default;
    virtual uint64_t Size() const = 0;
    // Copies up to `size` bytes from `offset`; returns how many were available.
    virtual size_t Read(uint64_t offset, uint8_t* out, size_t size) = 0;
};

class MemorySource : public Source {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit MemorySource(const std::vector<uint8_t>& data)
        : data_(data.data()), size_(data.size()) {}
    uint64_t Size() const override { return size_; }
    size_t Read(uint64_t offset, uint8_t* out, size_t size) override;

private:
    const uint8_t* data_;
    size_t size_;
};

// Reads through the C library, which takes names in the system code page on Windows. Small
// reads are served from a window read ahead in one call: a listing reads every header a few
// bytes at a time, and a seek and a read each made a large archive slow to open.
class FileSource : public Source {
public:
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    bool IsOpen() const { return file_ != nullptr; }
    uint64_t Size() const override { return size_; }
    size_t Read(uint64_t offset, uint8_t* out, size_t size) override;

private:
    size_t ReadThrough(uint64_t offset, uint8_t* out, size_t size);

    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
    std::vector<uint8_t> window_; // the bytes from windowStart_ on
    uint64_t windowStart_ = 0;
};

} // namespace lzh
