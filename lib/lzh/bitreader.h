#pragma once
#include "lzh/source.h"
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace lzh {

// MSB-first bit reader over one member's compressed bytes. Past their end it yields zero
// bits, as LZH readers do, and counts how far it overran so that a decoder fed garbage
// cannot run on for ever.
class BitReader {
public:
    BitReader(Source& source, uint64_t offset, uint64_t size)
        : source_(source), offset_(offset), left_(size), buffer_(1 << 16) {
        Refill(cursor_);
    }

    // The reading position: the next bits at the top of `bits`, `count` of them valid, and
    // the next byte to load. Decoding loops keep a copy in registers: take it with Save(),
    // top it up with Ensure() (or Refill() where FastRefills() allows) and give it back with
    // Restore().
    struct Cursor {
        uint64_t bits = 0;
        int count = 0;
        const uint8_t* next = nullptr;

        uint32_t Peek16() const { return static_cast<uint32_t>(bits >> 48); }
        void Consume(int n) {
            bits <<= n;
            count -= n;
        }
        // Tops the bits up to at least 56 with one 8-byte load, without checking the end of
        // the buffer. The bits it leaves below the count are the bytes that follow, so a
        // later load ORs the same bits over them.
        void Refill() {
            bits |= LoadBigEndian(next) >> count;
            next += (63 - count) >> 3;
            count |= 56; // count + 8 * the bytes taken, as count < 64
        }
    };
    Cursor Save() const { return cursor_; }
    void Restore(Cursor c) { cursor_ = c; }
    // Makes sure the cursor holds at least `need` bits (need <= 56).
    void Ensure(Cursor& c, int need = 16) {
        if (c.count < need) Refill(c);
    }
    // How many times in a row Cursor::Refill() may run before the buffered bytes run out.
    size_t FastRefills(const Cursor& c) const { return static_cast<size_t>(end_ - c.next) / 8; }

    uint32_t Peek(int n) { // n <= 24
        Ensure(cursor_, n);
        return static_cast<uint32_t>(cursor_.bits >> (64 - n));
    }
    void Skip(int n) {
        Ensure(cursor_, n);
        cursor_.Consume(n);
    }
    uint32_t Get(int n) {
        if (n == 0) return 0;
        uint32_t v = Peek(n);
        cursor_.Consume(n);
        return v;
    }

    // True once more than a few bytes past the end have been consumed.
    bool Overrun() const { return overrun_ > 8; }

private:
    static uint64_t LoadBigEndian(const uint8_t* p) {
#if defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        uint64_t v;
        std::memcpy(&v, p, 8);
        return __builtin_bswap64(v);
#else
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v = v << 8 | p[i];
        return v;
#endif
    }
    // Tops the cursor up to at least 56 bits; past the end of the data with zeros.
    void Refill(Cursor& c) {
        if (FastRefills(c) > 0) {
            c.Refill();
            return;
        }
        while (c.count <= 56) {
            if (c.next == end_) Load(c);
            uint64_t byte = 0;
            if (c.next < end_) {
                byte = *c.next++;
            } else {
                ++overrun_;
            }
            c.bits |= byte << (56 - c.count);
            c.count += 8;
        }
    }
    void Load(Cursor& c) {
        c.next = end_ = buffer_.data();
        if (left_ == 0) return;
        size_t want = static_cast<size_t>(std::min<uint64_t>(left_, buffer_.size()));
        size_t got = source_.Read(offset_, buffer_.data(), want);
        end_ += got;
        if (got < want)
            left_ = 0; // the file ends early: the rest reads as zeros
        else
            left_ -= got;
        offset_ += got;
    }

    Source& source_;
    uint64_t offset_, left_;
    std::vector<uint8_t> buffer_;
    const uint8_t* end_ = nullptr;
    Cursor cursor_;
    uint64_t overrun_ = 0;
};

// Copies a match of `length` bytes from `distance` back, runs that overlap themselves
// included. It may write up to kCopySlack bytes past the end; later bytes overwrite them.
constexpr size_t kCopySlack = 16;
inline void CopyMatch(uint8_t* dst, size_t distance, size_t length) {
    const uint8_t* src = dst - distance;
    if (distance >= 16) {
        for (size_t i = 0; i < length; i += 16) std::memcpy(dst + i, src + i, 16);
    } else if (distance == 1) {
        std::memset(dst, *src, length);
    } else {
        for (size_t i = 0; i < length; ++i) dst[i] = src[i];
    }
}

// Sliding output window shared by the decoders: keeps `history` bytes of back-references
// (starting as spaces) and hands decoded bytes to the sink in large pieces.
class Window {
public:
    static constexpr size_t kMaxMatch = 256; // the longest match any method codes

    Window(size_t history, uint64_t total, class Sink& sink);
    bool Done() const { return produced_ >= total_; }
    uint64_t Remaining() const { return total_ - produced_; }
    void Literal(uint8_t c) {
        buf_[pos_++] = c;
        ++produced_;
        if (pos_ >= limit_) Flush();
    }
    // Direct writing for decoding loops: bytes go to Cursor() onwards, Room() of them at
    // most (always at least kMaxMatch); Sync() then accounts for them and flushes when the
    // chunk is full.
    uint8_t* Cursor() { return buf_.get() + pos_; }
    size_t Room() const { return size_ - kCopySlack - pos_; }
    void Sync(uint8_t* cursor) {
        size_t pos = static_cast<size_t>(cursor - buf_.get());
        produced_ += pos - pos_;
        pos_ = pos;
        if (pos_ >= limit_) Flush();
    }
    // Copies `length` bytes from `distance` back (1 <= distance <= history), cut short at
    // the member's end.
    void Copy(size_t distance, size_t length);
    bool Finish(); // flushes the rest; false if the sink refused

private:
    static constexpr size_t kChunk = 1 << 18; // bytes handed to the sink at a time
    void Flush();

    std::unique_ptr<uint8_t[]> buf_;
    size_t size_, history_, pos_, limit_;
    uint64_t produced_ = 0, total_;
    class Sink& sink_;
    bool failed_ = false;
};

} // namespace lzh
