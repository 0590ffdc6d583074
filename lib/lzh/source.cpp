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

} // namespace

size_t MemorySource::Read(uint64_t offset, uint8_t* out, size_t size) {
    if (offset >= size_) return 0;
    size_t n = static_cast<size_t>(std::min<uint64_t>(size, size_ - offset));
    std::memcpy(out, data_ + offset, n);
    return n;
}

FileSource::FileSource(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (file_ && Seek(file_, 0, SEEK_END)) size_ = Tell(file_);
}

FileSource::~FileSource() {
    if (file_) std::fclose(file_);
}

size_t FileSource::Read(uint64_t offset, uint8_t* out, size_t size) {
    if (!file_ || offset >= size_ || !Seek(file_, offset, SEEK_SET)) return 0;
    return std::fread(out, 1, size, file_);
}

} // namespace lzh
