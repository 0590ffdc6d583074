#pragma once
#include "lzh/source.h"
#include <cstdint>
#include <cstring>
#include <vector>

namespace lzh {

// MSB-first bit reader over one member's compressed bytes. Past their end it yields zero
// bits, as LZH readers do, and counts how far it overran so that a decoder fed garbage
// cannot run on for ever.
class BitReader {
public:
    BitReader(Source& source, uint64_t offset, uint64_t size)
        : source_(source), offset_(offset), left_(size), buffer_(1 << 16) {
        Refill();
    }

    uint32_t Peek(int n) { // n <= 24
        if (count_ < n) Refill();
        return static_cast<uint32_t>(bits_ >> (64 - n));
    }
    void Skip(int n) {
        if (count_ < n) Refill();
        Consume(n);
    }
    // Drops n bits that a Peek(m >= n) has just loaded.
    void Consume(int n) {
        bits_ <<= n;
        count_ -= n;
    }
    uint32_t Get(int n) {
        if (n == 0) return 0;
        uint32_t v = Peek(n);
        Skip(n);
        return v;
    }
    // The bit buffer on its own, for decoding loops that keep it in registers: take it with
    // Save(), refill it with Refill(cursor) and give it back with Restore().
    struct Cursor {
        uint64_t bits;
        int count;
        uint32_t Peek16() const { return static_cast<uint32_t>(bits >> 48); }
        void Consume(int n) {
            bits <<= n;
            count -= n;
        }
    };
    Cursor Save() const { return {bits_, count_}; }
    void Restore(Cursor c) {
        bits_ = c.bits;
        count_ = c.count;
    }
    // Makes sure the cursor holds at least 16 bits.
    void Ensure(Cursor& c) {
        if (c.count >= 16) return;
        Restore(c);
        Refill();
        c = Save();
    }

    // True once more than a few bytes past the end have been consumed.
    bool Overrun() const { return overrun_ > 8; }

private:
    void Refill() {
        if (end_ - pos_ >= 8) {
            // Fast path: take whole bytes from one big-endian load.
            uint64_t v;
            std::memcpy(&v, &buffer_[pos_], 8);
#if defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
            v = __builtin_bswap64(v);
#else
            v = 0;
            for (int i = 0; i < 8; ++i) v = v << 8 | buffer_[pos_ + i];
#endif
            bits_ |= v >> count_;
            int bytes = (63 - count_) >> 3;
            pos_ += bytes;
            count_ += bytes * 8;
            bits_ &= ~(~uint64_t(0) >> count_);
            return;
        }
        while (count_ <= 56) {
            if (pos_ == end_) Load();
            uint64_t byte = 0;
            if (pos_ < end_) {
                byte = buffer_[pos_++];
            } else {
                ++overrun_;
            }
            bits_ |= byte << (56 - count_);
            count_ += 8;
        }
    }
    void Load() {
        pos_ = end_ = 0;
        if (left_ == 0) return;
        size_t want = static_cast<size_t>(std::min<uint64_t>(left_, buffer_.size()));
        end_ = source_.Read(offset_, buffer_.data(), want);
        if (end_ < want)
            left_ = 0; // the file ends early: the rest reads as zeros
        else
            left_ -= end_;
        offset_ += end_;
    }

    Source& source_;
    uint64_t offset_, left_;
    std::vector<uint8_t> buffer_;
    size_t pos_ = 0, end_ = 0;
    uint64_t bits_ = 0;
    int count_ = 0;
    uint64_t overrun_ = 0;
};

// Sliding output window shared by the decoders: keeps `history` bytes of back-references
// (starting as spaces) and hands decoded bytes to the sink in large pieces.
class Window {
public:
    Window(size_t history, uint64_t total, class Sink& sink);
    bool Done() const { return produced_ >= total_; }
    uint64_t Remaining() const { return total_ - produced_; }
    void Literal(uint8_t c) {
        buf_[pos_++] = c;
        ++produced_;
        if (pos_ >= limit_) Flush();
    }
    // Direct writing for decoding loops: bytes go to Cursor() onwards, up to CursorLimit();
    // Sync() then accounts for them (and flushes when the chunk is full).
    uint8_t* Cursor() { return buf_.data() + pos_; }
    uint8_t* CursorLimit() { return buf_.data() + limit_; }
    void Sync(uint8_t* cursor) {
        size_t pos = static_cast<size_t>(cursor - buf_.data());
        produced_ += pos - pos_;
        pos_ = pos;
        if (pos_ >= limit_) Flush();
    }
    // Copies `length` bytes from `distance` back (1 <= distance <= history).
    void Copy(size_t distance, size_t length);
    bool Finish(); // flushes the rest; false if the sink refused
    bool Failed() const { return failed_; }

private:
    static constexpr size_t kChunk = 1 << 18; // bytes handed to the sink at a time
    void Flush();

    std::vector<uint8_t> buf_;
    size_t history_, pos_, limit_;
    uint64_t produced_ = 0, total_;
    class Sink& sink_;
    bool failed_ = false;
};

} // namespace lzh
