#include "lzh/encode.h"
#include "lzh/crc16.h"
#include <algorithm>
#include <cstring>
#include <queue>

namespace lzh {
namespace {

constexpr int kNC = 510, kNT = 19, kNP = 14, kCBit = 9, kTBit = 5, kPBit = 4;
constexpr size_t kDict = 8192;
constexpr size_t kMaxDistance = kDict - 1; // never reach back to the window's far edge
constexpr size_t kMaxMatch = 256, kMinMatch = 3;
constexpr int kHashBits = 15, kChainLimit = 256;
constexpr size_t kBlockBytes = 32 * 1024; // token buffer size of the classic encoder

class BitWriter {
public:
    void Put(uint32_t value, int n) { // n <= 24
        acc_ = acc_ << n | (value & ((1u << n) - 1));
        count_ += n;
        if (count_ >= 32) {
            count_ -= 32;
            if (used_ + 4 > out_.size()) out_.resize(out_.size() * 2 + 4096);
            uint32_t word = static_cast<uint32_t>(acc_ >> count_);
            for (int i = 0; i < 4; ++i)
                out_[used_ + i] = static_cast<uint8_t>(word >> (24 - 8 * i));
            used_ += 4;
        }
    }
    void PadToByte() {
        if (count_ % 8) Put(0, 8 - count_ % 8);
    }
    // Hands the whole bytes written so far to `sink`; a partial byte stays.
    bool Drain(Sink& sink) {
        while (count_ >= 8) {
            count_ -= 8;
            if (used_ == out_.size()) out_.resize(out_.size() * 2 + 4096);
            out_[used_++] = static_cast<uint8_t>(acc_ >> count_);
        }
        bool ok = used_ == 0 || sink.Write(out_.data(), used_);
        used_ = 0;
        return ok;
    }

private:
    std::vector<uint8_t> out_;
    size_t used_ = 0;
    uint64_t acc_ = 0;
    int count_ = 0;
};

struct Token {
    uint16_t code;     // literal byte, or 253 + match length
    uint16_t position; // distance - 1, for matches
};

int BitLength(unsigned v) {
    return v == 0 ? 0 : 32 - __builtin_clz(v);
}

struct Code {
    std::vector<uint8_t> len;
    std::vector<uint16_t> bits;
};

Code MakeCode(const std::vector<uint32_t>& freq) {
    Code code{LimitedCodeLengths(freq, 16), std::vector<uint16_t>(freq.size())};
    uint32_t next = 0;
    for (int len = 1; len <= 16; ++len) {
        for (size_t s = 0; s < freq.size(); ++s)
            if (code.len[s] == len) code.bits[s] = static_cast<uint16_t>(next++);
        next <<= 1;
    }
    return code;
}

int UsedCount(const std::vector<uint8_t>& len) {
    int n = static_cast<int>(len.size());
    while (n > 0 && len[n - 1] == 0) --n;
    return n;
}

// The only symbol with non-zero frequency, or -1 when there are several (or none).
int SoleSymbol(const std::vector<uint32_t>& freq) {
    int found = -1;
    for (size_t s = 0; s < freq.size(); ++s) {
        if (!freq[s]) continue;
        if (found >= 0) return -1;
        found = static_cast<int>(s);
    }
    return found;
}

// Writes T or P table lengths; `zero_run_at` is 3 for the T table, -1 for P.
void WriteSmallTable(BitWriter& out, const std::vector<uint8_t>& len, int nbit, int zero_run_at) {
    int n = UsedCount(len);
    out.Put(static_cast<uint32_t>(n), nbit);
    for (int i = 0; i < n;) {
        int k = len[i++];
        if (k <= 6) {
            out.Put(static_cast<uint32_t>(k), 3);
        } else {
            out.Put((1u << (k - 3)) - 2, k - 3);
        }
        if (i == zero_run_at) {
            int z = 0;
            while (z < 3 && i + z < n && len[i + z] == 0) ++z;
            out.Put(static_cast<uint32_t>(z), 2);
            i += z;
        }
    }
}

// Visits the C lengths as T symbols (with their extra bits): zero runs and lengths + 2.
template <class F> void ForEachTSymbol(const std::vector<uint8_t>& c_len, F emit) {
    int n = UsedCount(c_len);
    for (int i = 0; i < n;) {
        if (c_len[i] != 0) {
            emit(c_len[i++] + 2, 0, 0);
            continue;
        }
        int run = 0;
        while (i + run < n && c_len[i + run] == 0) ++run;
        i += run;
        if (run <= 2) {
            for (int k = 0; k < run; ++k) emit(0, 0, 0);
        } else if (run <= 18) {
            emit(1, run - 3, 4);
        } else if (run == 19) {
            emit(0, 0, 0);
            emit(1, 15, 4);
        } else {
            emit(2, run - 20, kCBit);
        }
    }
}

void WriteCodeTables(BitWriter& out, const std::vector<uint32_t>& c_freq, const Code& c) {
    int sole = SoleSymbol(c_freq);
    if (sole >= 0) {
        out.Put(0, kTBit);
        out.Put(0, kTBit);
        out.Put(0, kCBit);
        out.Put(static_cast<uint32_t>(sole), kCBit);
        return;
    }
    std::vector<uint32_t> t_freq(kNT);
    ForEachTSymbol(c.len, [&](int t, int, int) { ++t_freq[t]; });
    int t_sole = SoleSymbol(t_freq);
    Code t = MakeCode(t_freq);
    if (t_sole >= 0) {
        out.Put(0, kTBit);
        out.Put(static_cast<uint32_t>(t_sole), kTBit);
    } else {
        WriteSmallTable(out, t.len, kTBit, 3);
    }
    out.Put(static_cast<uint32_t>(UsedCount(c.len)), kCBit);
    ForEachTSymbol(c.len, [&](int sym, int extra, int extra_bits) {
        if (t_sole < 0) out.Put(t.bits[sym], t.len[sym]);
        if (extra_bits) out.Put(static_cast<uint32_t>(extra), extra_bits);
    });
}

void WriteBlock(BitWriter& out, const std::vector<Token>& tokens) {
    std::vector<uint32_t> c_freq(kNC), p_freq(kNP);
    for (const Token& t : tokens) {
        ++c_freq[t.code];
        if (t.code >= 256) ++p_freq[BitLength(t.position)];
    }
    Code c = MakeCode(c_freq), p = MakeCode(p_freq);
    out.Put(static_cast<uint32_t>(tokens.size()), 16);
    WriteCodeTables(out, c_freq, c);
    int p_sole = SoleSymbol(p_freq);
    if (p_sole >= 0 || std::all_of(p_freq.begin(), p_freq.end(), [](uint32_t f) { return !f; })) {
        out.Put(0, kPBit);
        out.Put(static_cast<uint32_t>(std::max(p_sole, 0)), kPBit);
    } else {
        WriteSmallTable(out, p.len, kPBit, -1);
    }
    bool c_coded = SoleSymbol(c_freq) < 0;
    for (const Token& t : tokens) {
        if (c_coded) out.Put(c.bits[t.code], c.len[t.code]);
        if (t.code < 256) continue;
        int j = BitLength(t.position);
        if (p_sole < 0) out.Put(p.bits[j], p.len[j]);
        if (j >= 2) out.Put(t.position, j - 1);
    }
}

// Hash chains over a sliding buffer of the input: finds the longest earlier match within
// the window. Positions are offsets into the buffer; Slide() moves both together.
class MatchFinder {
public:
    MatchFinder() : head_(1 << kHashBits, -1), prev_(kDict, -1) {}

    void Reset(const uint8_t* data, size_t avail) {
        data_ = data;
        avail_ = avail;
    }

    void Insert(size_t pos) {
        if (pos + kMinMatch > avail_) return;
        uint32_t h = Hash(pos);
        prev_[pos & (kDict - 1)] = head_[h];
        head_[h] = static_cast<int32_t>(pos);
    }

    // Longest match at `pos` (length 0 when shorter than kMinMatch).
    Token Find(size_t pos) const {
        Token best{0, 0};
        size_t limit = std::min(kMaxMatch, avail_ - pos);
        if (limit < kMinMatch) return best;
        size_t best_len = kMinMatch - 1;
        const uint8_t* cur = data_ + pos;
        int32_t cand = head_[Hash(pos)];
        for (int steps = kChainLimit; cand >= 0 && steps > 0; --steps) {
            size_t distance = pos - static_cast<size_t>(cand);
            if (distance > kMaxDistance) break;
            const uint8_t* old = data_ + cand;
            if (old[best_len] == cur[best_len]) {
                size_t len = 0;
                while (len < limit && old[len] == cur[len]) ++len;
                if (len > best_len) {
                    best_len = len;
                    best.position = static_cast<uint16_t>(distance - 1);
                    if (len == limit) break;
                }
            }
            cand = prev_[static_cast<size_t>(cand) & (kDict - 1)];
        }
        if (best_len >= kMinMatch) best.code = static_cast<uint16_t>(best_len + 253);
        return best;
    }

    // The buffer dropped its first `shift` bytes (a multiple of the dictionary size).
    void Slide(size_t shift) {
        auto move = [shift](int32_t& p) {
            p = p >= static_cast<int32_t>(shift) ? p - static_cast<int32_t>(shift) : -1;
        };
        for (int32_t& p : head_) move(p);
        for (int32_t& p : prev_) move(p);
    }

private:
    uint32_t Hash(size_t pos) const {
        return ((static_cast<uint32_t>(data_[pos]) << 5 ^ data_[pos + 1]) << 5 ^ data_[pos + 2]) &
               ((1u << kHashBits) - 1);
    }

    const uint8_t* data_ = nullptr;
    size_t avail_ = 0;
    std::vector<int32_t> head_, prev_;
};

// The input as a sliding buffer: the dictionary behind the current position and enough
// bytes ahead for two match searches. Computes the CRC of everything read.
class InputBuffer {
public:
    // Small inputs get a buffer of their own size: most pictures are well under a megabyte.
    explicit InputBuffer(Source& source)
        : source_(source),
          buf_(std::max(4 * kDict, static_cast<size_t>(std::min<uint64_t>(
                                       kBufferSize, source.Size() + kLookahead)))) {}

    // Makes sure bytes up to pos + kLookahead are loaded (when the input has them); may
    // slide the buffer, moving `pos` and the match finder along.
    void Prepare(size_t& pos, MatchFinder& finder) {
        if (pos + kLookahead <= avail_ || eof_) return;
        if (pos >= 2 * kDict) {
            size_t shift = (pos - kDict) / kDict * kDict;
            std::memmove(buf_.data(), buf_.data() + shift, avail_ - shift);
            avail_ -= shift;
            pos -= shift;
            finder.Slide(shift);
        }
        while (!eof_ && avail_ < buf_.size()) {
            size_t got = source_.Read(offset_, buf_.data() + avail_, buf_.size() - avail_);
            if (got == 0) {
                eof_ = true;
                break;
            }
            crc_ = Crc16(buf_.data() + avail_, got, crc_);
            avail_ += got;
            offset_ += got;
        }
        finder.Reset(buf_.data(), avail_);
    }
    const uint8_t* data() const { return buf_.data(); }
    size_t avail() const { return avail_; }
    bool done(size_t pos) const { return pos >= avail_; }
    uint64_t read() const { return offset_; }
    uint16_t crc() const { return crc_; }

private:
    static constexpr size_t kBufferSize = 1 << 20;
    static constexpr size_t kLookahead = 2 * kMaxMatch + 2;

    Source& source_;
    std::vector<uint8_t> buf_;
    size_t avail_ = 0;
    uint64_t offset_ = 0;
    bool eof_ = false;
    uint16_t crc_ = 0;
};

size_t MatchLength(const Token& t) {
    return t.code >= 256 ? t.code - 253u : 0;
}

// Collects tokens and writes a block whenever the classic token buffer would be full.
class BlockBuilder {
public:
    BlockBuilder(BitWriter& out, Sink& sink) : out_(out), sink_(sink) {}
    // False once the sink refused the output.
    bool Add(Token t) {
        tokens_.push_back(t);
        bytes_ += t.code >= 256 ? 3 : 1;
        if (bytes_ + tokens_.size() / 8 >= kBlockBytes || tokens_.size() == 0xFFFF) return Flush();
        return true;
    }
    bool Flush() {
        if (!tokens_.empty()) WriteBlock(out_, tokens_);
        tokens_.clear();
        bytes_ = 0;
        return out_.Drain(sink_);
    }

private:
    BitWriter& out_;
    Sink& sink_;
    std::vector<Token> tokens_;
    size_t bytes_ = 0;
};

} // namespace

std::vector<uint8_t> LimitedCodeLengths(const std::vector<uint32_t>& freq, int max_length) {
    std::vector<uint8_t> lengths(freq.size());
    // Huffman tree over the used symbols; leaves leave the heap least frequent first.
    using Node = std::pair<uint64_t, int>; // weight, node index
    std::priority_queue<Node, std::vector<Node>, std::greater<Node>> heap;
    std::vector<int> parent;
    std::vector<int> leaf_symbol;
    for (size_t s = 0; s < freq.size(); ++s) {
        if (!freq[s]) continue;
        heap.push({freq[s], static_cast<int>(parent.size())});
        parent.push_back(-1);
        leaf_symbol.push_back(static_cast<int>(s));
    }
    size_t leaves = leaf_symbol.size();
    if (leaves < 2) return lengths;
    std::vector<int> order; // leaves in the order they left the heap
    while (heap.size() > 1) {
        Node a = heap.top();
        heap.pop();
        Node b = heap.top();
        heap.pop();
        for (int n : {a.second, b.second})
            if (static_cast<size_t>(n) < leaves) order.push_back(n);
        int joined = static_cast<int>(parent.size());
        parent.push_back(-1);
        parent[a.second] = parent[b.second] = joined;
        heap.push({a.first + b.first, joined});
    }
    std::vector<int> depth(parent.size(), 0);
    for (int n = static_cast<int>(parent.size()) - 2; n >= 0; --n) depth[n] = depth[parent[n]] + 1;
    // Count leaves per depth, clamp to the limit, then repair the Kraft sum.
    std::vector<uint32_t> count(max_length + 1, 0);
    for (size_t n = 0; n < leaves; ++n) ++count[std::min(depth[n], max_length)];
    uint64_t kraft = 0;
    for (int d = 1; d <= max_length; ++d) kraft += uint64_t(count[d]) << (max_length - d);
    for (; kraft > (uint64_t(1) << max_length); --kraft) {
        --count[max_length];
        for (int d = max_length - 1; d > 0; --d) {
            if (count[d]) {
                --count[d];
                count[d + 1] += 2;
                break;
            }
        }
    }
    // Longest codes go to the leaves that left the heap first (the least frequent).
    size_t k = 0;
    for (int d = max_length; d > 0; --d)
        for (uint32_t c = 0; c < count[d]; ++c)
            lengths[leaf_symbol[order[k++]]] = static_cast<uint8_t>(d);
    return lengths;
}

bool EncodeLh5(Source& source, Sink& sink, uint16_t& crc) {
    BitWriter out;
    BlockBuilder blocks(out, sink);
    MatchFinder finder;
    InputBuffer input(source);
    size_t i = 0;
    input.Prepare(i, finder);
    Token cur = finder.Find(0);
    while (!input.done(i)) {
        const uint8_t* data = input.data();
        size_t avail = input.avail();
        finder.Insert(i);
        bool ok;
        if (MatchLength(cur) == 0) {
            ok = blocks.Add(Token{data[i], 0});
            ++i;
        } else {
            Token next = i + 1 < avail ? finder.Find(i + 1) : Token{0, 0};
            if (MatchLength(next) > MatchLength(cur)) {
                ok = blocks.Add(Token{data[i], 0});
                ++i;
                cur = next;
                if (!ok) return false;
                input.Prepare(i, finder);
                continue;
            }
            ok = blocks.Add(cur);
            size_t len = MatchLength(cur);
            for (size_t k = 1; k < len; ++k) finder.Insert(i + k);
            i += len;
        }
        if (!ok) return false;
        input.Prepare(i, finder);
        cur = i < input.avail() ? finder.Find(i) : Token{0, 0};
    }
    if (!blocks.Flush()) return false;
    out.PadToByte();
    crc = input.crc();
    return out.Drain(sink) && input.read() == source.Size();
}

std::vector<uint8_t> EncodeLh5(const uint8_t* data, size_t size) {
    MemorySource source(data, size);
    std::vector<uint8_t> packed;
    VectorSink sink(packed);
    uint16_t crc = 0;
    EncodeLh5(source, sink, crc);
    return packed;
}

} // namespace lzh
