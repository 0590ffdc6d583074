// Owners of Windows handles, so that every path out of a call releases them.
#pragma once
#include <windows.h>
#include <cstring>
#include <utility>

namespace tovn::susie {

class File {
public:
    explicit File(HANDLE h) : h_(h) {}
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File() {
        if (ok()) CloseHandle(h_);
    }
    bool ok() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

// A moveable local block, freed unless handed over with release().
class LocalBlock {
public:
    LocalBlock() = default;
    LocalBlock(const void* data, size_t size) : h_(LocalAlloc(LMEM_MOVEABLE, size ? size : 1)) {
        if (!h_) return;
        void* p = LocalLock(h_);
        if (p) std::memcpy(p, data, size);
        LocalUnlock(h_);
        if (!p) reset();
    }
    LocalBlock(const LocalBlock&) = delete;
    LocalBlock& operator=(const LocalBlock&) = delete;
    ~LocalBlock() { reset(); }
    bool ok() const { return h_ != nullptr; }
    HLOCAL release() { return std::exchange(h_, nullptr); }

private:
    void reset() {
        if (h_) LocalFree(h_);
        h_ = nullptr;
    }
    HLOCAL h_ = nullptr;
};

} // namespace tovn::susie
