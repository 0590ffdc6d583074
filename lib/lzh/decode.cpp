#include "lzh/decode.h"
#include "lzh/bitreader.h"
#include "lzh/crc16.h"
#include "lzh/huffman.h"
#include <algorithm>
#include <cstring>

namespace lzh {

Status DecodeLh1(BitReader& in, Window& out); // adaptive Huffman, in decode_lh1.cpp

Window::Window(size_t history, uint64_t total, Sink& sink)
    : buf_(new uint8_t[history + kChunk + 2 * kMaxMatch]), size_(history + kChunk + 2 * kMaxMatch),
      history_(history), pos_(history), limit_(history + kChunk), total_(total), sink_(sink) {
    std::memset(buf_.get(), ' ', history);
}

void Window::Copy(size_t distance, size_t length) {
    length = static_cast<size_t>(std::min<uint64_t>(length, total_ - produced_));
    CopyMatch(buf_.get() + pos_, distance, length);
    pos_ += length;
    produced_ += length;
    if (pos_ >= limit_) Flush();
}

void Window::Flush() {
    if (!failed_ && !sink_.Write(buf_.get() + history_, pos_ - history_)) failed_ = true;
    std::memmove(buf_.get(), buf_.get() + pos_ - history_, history_);
    pos_ = history_;
}

bool Window::Finish() {
    Flush();
    return !failed_;
}

namespace {

constexpr int kNC = 510, kCBit = 9, kNT = 19, kTBit = 5;

struct NewMethod {
    const char* id;
    int np, pbit;
};
constexpr NewMethod kNewMethods[] = {
    {"-lh4-", 14, 4}, {"-lh5-", 14, 4}, {"-lh6-", 16, 5}, {"-lh7-", 17, 5}};

const NewMethod* FindNewMethod(const std::string& method) {
    for (const NewMethod& m : kNewMethods)
        if (method == m.id) return &m;
    return nullptr;
}

// Code lengths of the T and P tables: 3 bits each, 7 extended by a run of 1 bits; for the
// T table a 2-bit count of zero lengths follows the third entry.
bool ReadSmallTable(BitReader& in, int nn, int nbit, int zero_run_at, Huffman& table) {
    int n = static_cast<int>(in.Get(nbit));
    if (n == 0) {
        int symbol = static_cast<int>(in.Get(nbit));
        return symbol < nn && table.SetSingle(symbol);
    }
    if (n > nn) return false;
    uint8_t lengths[32] = {};
    for (int i = 0; i < n;) {
        int len = static_cast<int>(in.Get(3));
        if (len == 7) {
            while (in.Get(1) == 1)
                if (++len > 16) return false;
        }
        lengths[i++] = static_cast<uint8_t>(len);
        if (i == zero_run_at) {
            int zeros = static_cast<int>(in.Get(2));
            if (i + zeros > n) return false;
            i += zeros;
        }
    }
    return table.Build(lengths, nn);
}

bool ReadCodeTable(BitReader& in, const Huffman& t_table, Huffman& c_table) {
    int n = static_cast<int>(in.Get(kCBit));
    if (n == 0) {
        int symbol = static_cast<int>(in.Get(kCBit));
        return symbol < kNC && c_table.SetSingle(symbol);
    }
    if (n > kNC) return false;
    uint8_t lengths[kNC] = {};
    for (int i = 0; i < n;) {
        int t = t_table.Decode(in);
        if (t > 2) {
            lengths[i++] = static_cast<uint8_t>(t - 2);
            continue;
        }
        int zeros = t == 0   ? 1
                    : t == 1 ? static_cast<int>(in.Get(4)) + 3
                             : static_cast<int>(in.Get(kCBit)) + 20;
        if (i + zeros > n) return false;
        i += zeros;
    }
    return c_table.Build(lengths, kNC);
}

struct BlockTables {
    Huffman c, p;
    size_t history;
};

// The most bits one token takes: a code-table code, a position code and its extra bits.
constexpr int kPositionBits = 16 + 15;
constexpr int kMaxTokenBits = 16 + kPositionBits;

// Decodes one token to `dst`, which has room for a whole match. Returns how many bytes it
// stands for; 0 for a distance beyond the history. The cursor is topped up at most twice,
// without checks: it must either hold kMaxTokenBits or have two refills' worth of input.
inline size_t DecodeToken(BitReader::Cursor& bits, const BlockTables& tables, uint8_t* dst) {
    if (bits.count < 16) bits.Refill();
    int c = tables.c.Decode(bits);
    if (c < 256) {
        *dst = static_cast<uint8_t>(c);
        return 1;
    }
    if (bits.count < kPositionBits) bits.Refill();
    int j = tables.p.Decode(bits);
    size_t p = static_cast<size_t>(j);
    if (j >= 2) {
        p = (size_t(1) << (j - 1)) + static_cast<size_t>(bits.bits >> (65 - j));
        bits.Consume(j - 1);
    }
    if (p >= tables.history) return 0;
    size_t length = static_cast<size_t>(c - 253);
    CopyMatch(dst, p + 1, length);
    return length;
}

// Decodes `run` tokens that the buffered input and the room at `dst` are known to hold.
// Returns the end of the bytes written; null for a distance beyond the history.
uint8_t* DecodeRun(BitReader::Cursor& cursor, const BlockTables& tables, uint8_t* dst,
                   uint64_t run) {
    BitReader::Cursor bits = cursor;
    for (; run > 0; --run) {
        size_t n = DecodeToken(bits, tables, dst);
        if (n == 0) return nullptr;
        dst += n;
    }
    cursor = bits;
    return dst;
}

bool DecodeBlock(BitReader& in, const BlockTables& tables, uint32_t tokens, Window& out) {
    // The reading position stays in registers for the whole block.
    BitReader::Cursor bits = in.Save();
    while (tokens > 0 && !out.Done()) {
        uint8_t* dst = out.Cursor();
        // A run of tokens that can reach neither the end of the window's room, nor the
        // member's original size, nor the end of the buffered input goes without checking
        // any of them per token.
        uint64_t room = std::min<uint64_t>(out.Room(), out.Remaining());
        uint64_t run =
            std::min<uint64_t>({tokens, room / Window::kMaxMatch, in.FastRefills(bits) / 2});
        if (run == 0) {
            // One token at a time, cut short at the member's end.
            in.Ensure(bits, kMaxTokenBits);
            size_t n = DecodeToken(bits, tables, dst);
            if (n == 0) return false;
            out.Sync(dst + std::min<uint64_t>(n, room));
            --tokens;
            continue;
        }
        tokens -= static_cast<uint32_t>(run);
        dst = DecodeRun(bits, tables, dst, run);
        if (!dst) return false;
        out.Sync(dst);
    }
    in.Restore(bits);
    return true;
}

Status DecodeNew(const NewMethod& method, BitReader& in, Window& out) {
    Huffman t_table;
    BlockTables tables;
    tables.history = size_t(1) << (method.np - 1);
    while (!out.Done()) {
        if (in.Overrun()) return Status::kBadData;
        uint32_t tokens = in.Get(16);
        if (!ReadSmallTable(in, kNT, kTBit, 3, t_table) || !ReadCodeTable(in, t_table, tables.c) ||
            !ReadSmallTable(in, method.np, method.pbit, -1, tables.p) ||
            !DecodeBlock(in, tables, tokens, out))
            return Status::kBadData;
    }
    return Status::kOk;
}

Status CopyStored(Source& source, const Member& member, Sink& sink) {
    if (member.packed_size < member.original_size) return Status::kBadData;
    std::vector<uint8_t> buffer(1 << 16);
    for (uint64_t done = 0; done < member.original_size;) {
        size_t want =
            static_cast<size_t>(std::min<uint64_t>(buffer.size(), member.original_size - done));
        size_t got = source.Read(member.data_offset + done, buffer.data(), want);
        if (got == 0) return Status::kTruncated;
        if (!sink.Write(buffer.data(), got)) return Status::kBadData;
        done += got;
    }
    return Status::kOk;
}

class CrcSink : public Sink {
public:
    explicit CrcSink(Sink& next) : next_(next) {}
    bool Write(const uint8_t* data, size_t size) override {
        crc_ = Crc16(data, size, crc_);
        return next_.Write(data, size);
    }
    uint16_t crc() const { return crc_; }

private:
    Sink& next_;
    uint16_t crc_ = 0;
};

Status Decode(Source& source, const Member& member, Sink& sink) {
    if (member.method == "-lh0-" || member.method == "-lz4-")
        return CopyStored(source, member, sink);
    if (member.IsDirectory()) return Status::kOk;
    BitReader in(source, member.data_offset, member.packed_size);
    const NewMethod* method = FindNewMethod(member.method);
    Window out(method ? size_t(1) << (method->np - 1) : 4096, member.original_size, sink);
    Status status = method ? DecodeNew(*method, in, out) : DecodeLh1(in, out);
    if (!out.Finish() && status == Status::kOk) status = Status::kBadData;
    return status;
}

} // namespace

bool IsSupportedMethod(const std::string& method) {
    return method == "-lh0-" || method == "-lz4-" || method == "-lh1-" || method == "-lhd-" ||
           FindNewMethod(method) != nullptr;
}

Status DecodeMember(Source& source, const Member& member, Sink& sink) {
    if (!IsSupportedMethod(member.method)) return Status::kUnsupportedMethod;
    CrcSink crc(sink);
    Status status = Decode(source, member, crc);
    if (status == Status::kOk && crc.crc() != member.crc && !member.IsDirectory())
        return Status::kBadCrc;
    return status;
}

} // namespace lzh
