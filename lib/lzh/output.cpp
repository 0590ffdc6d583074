#include "lzh/filesystem.h"
#include <cstring>

namespace lzh {

bool OutputFile::Write(const uint8_t* data, size_t size) {
    if (failed_ || closed_) return false;
    if (buffer_.capacity() < kBufferSize) buffer_.reserve(kBufferSize);
    while (size > 0) {
        size_t n = std::min(size, kBufferSize - buffer_.size());
        buffer_.insert(buffer_.end(), data, data + n);
        data += n;
        size -= n;
        if (buffer_.size() == kBufferSize && !Flush()) return false;
    }
    return true;
}

bool OutputFile::Flush() {
    if (!buffer_.empty() && !failed_) failed_ = !WriteAt(position_, buffer_.data(), buffer_.size());
    position_ += buffer_.size();
    buffer_.clear();
    return !failed_;
}

bool OutputFile::Seek(uint64_t offset) {
    if (!Flush()) return false;
    position_ = offset;
    return true;
}

bool OutputFile::Close() {
    if (closed_) return !failed_;
    bool flushed = Flush();
    closed_ = true;
    bool committed = Commit();
    return flushed && committed;
}

bool MemoryOutput::WriteAt(uint64_t offset, const uint8_t* data, size_t size) {
    if (offset + size > bytes_.size()) bytes_.resize(static_cast<size_t>(offset + size));
    std::memcpy(bytes_.data() + offset, data, size);
    return true;
}

} // namespace lzh
