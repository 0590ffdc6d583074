// The Win32 side of the colour reducer: global memory blocks in and out; the work is done
// by the portable quantiser.
#include "hueden32.h"

#include "quant/dib.h"

#include <cstring>
#include <new>

namespace {

// A locked global block, unlocked when it goes out of scope.
class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL handle)
        : handle_(handle), data_(handle ? static_cast<uint8_t*>(GlobalLock(handle)) : nullptr),
          size_(data_ ? GlobalSize(handle) : 0) {}
    ~LockedBlock() {
        if (data_) GlobalUnlock(handle_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;

    uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

private:
    HGLOBAL handle_;
    uint8_t* data_;
    size_t size_;
};

// A new movable block holding a copy of bytes; freed unless released to the caller.
class NewBlock {
public:
    explicit NewBlock(const std::vector<uint8_t>& bytes)
        : handle_(GlobalAlloc(GMEM_MOVEABLE, bytes.size())) {
        LockedBlock lock(handle_);
        if (lock.data() == nullptr) {
            Free();
            return;
        }
        std::memcpy(lock.data(), bytes.data(), bytes.size());
    }
    ~NewBlock() { Free(); }
    NewBlock(const NewBlock&) = delete;
    NewBlock& operator=(const NewBlock&) = delete;

    bool ok() const { return handle_ != nullptr; }
    HGLOBAL Release() {
        HGLOBAL h = handle_;
        handle_ = nullptr;
        return h;
    }

private:
    void Free() {
        if (handle_) GlobalFree(handle_);
        handle_ = nullptr;
    }
    HGLOBAL handle_;
};

bool Reduce(HGLOBAL info, HGLOBAL bits, HGLOBAL* outInfo, HGLOBAL* outBits,
            const tovn::quant::Options& options) {
    tovn::quant::DibBlocks dib;
    {
        const LockedBlock infoBlock(info), bitsBlock(bits);
        const auto picture = tovn::quant::ReadDib(infoBlock.data(), infoBlock.size(),
                                                  bitsBlock.data(), bitsBlock.size());
        if (!picture) return false;
        const auto result =
            tovn::quant::Quantize(picture->pixels.data(), picture->width, picture->height, options);
        dib = tovn::quant::WriteDib8(picture->width, picture->height, result);
    }
    if (dib.info.empty()) return false;
    NewBlock newInfo(dib.info), newBits(dib.bits);
    if (!newInfo.ok() || !newBits.ok()) return false;
    *outInfo = newInfo.Release();
    *outBits = newBits.Release();
    return true;
}

} // namespace

extern "C" BOOL WINAPI Huedenize(HGLOBAL* info, HGLOBAL* bits, HGLOBAL* outInfo, HGLOBAL* outBits,
                                 int bitCount, BYTE level, int colors, int /*reserved*/, int flags,
                                 int /*unused1*/, int /*unused2*/) {
    if (outInfo) *outInfo = nullptr;
    if (outBits) *outBits = nullptr;
    if (!info || !bits || !outInfo || !outBits || bitCount != 8) return FALSE;
    tovn::quant::Options options;
    options.level = level;
    options.maxColors = colors;
    options.dither = (flags & 1) != 0;
    try {
        return Reduce(*info, *bits, outInfo, outBits, options) ? TRUE : FALSE;
    } catch (...) { // out of memory: nothing may escape into the caller
        return FALSE;
    }
}
