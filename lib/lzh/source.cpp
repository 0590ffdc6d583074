#include "lzh/source.h"
#include <algorithm>
#include <cstring>

namespace lzh {
namespace {

bool Seek(std::FILE* file, uint64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(file, static_cast<long long>(offset), whence) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), whence) == 0;
#endif
}

uint64_t Tell(std::FILE* file) {
#ifdef _WIN32
    return static_cast<uint64_t>(_ftelli64(file));
#else
    return static_cast<uint64_t>(ftello(file));
#endif
}

constexpr size_t kWindow = 1 << 16;

} // namespace

size_t MemorySource::Read(uint64_t offset, uint8_t* out, size_t size) {
    if (offset >= size_) return 0;
    size_t n = static_cast<size_t>(std::min<uint64_t>(size, size_ - offset));
    std::memcpy(out, data_ + offset, n);
    return n;
}

FileSource::FileSource(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (!file_) return;
    std::setvbuf(file_, nullptr, _IONBF, 0); // the window is the buffer
    if (Seek(file_, 0, SEEK_END)) size_ = Tell(file_);
}

FileSource::~FileSource() {
    if (file_) std::fclose(file_);
}

size_t FileSource::Read(uint64_t offset, uint8_t* out, size_t size) {
    if (!file_ || offset >= size_) return 0;
    if (size >= kWindow) return ReadThrough(offset, out, size);
    const bool inside = offset >= windowStart_ && offset - windowStart_ + size <= window_.size();
    if (!inside) {
        window_.resize(kWindow);
        windowStart_ = offset;
        window_.resize(ReadThrough(offset, window_.data(), kWindow));
    }
    const uint64_t from = offset - windowStart_;
    if (from >= window_.size()) return 0;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(size, window_.size() - from));
    std::memcpy(out, window_.data() + from, n);
    return n;
}

size_t FileSource::ReadThrough(uint64_t offset, uint8_t* out, size_t size) {
    if (!Seek(file_, offset, SEEK_SET)) return 0;
    return std::fread(out, 1, size, file_);
}

} // namespace lzh
