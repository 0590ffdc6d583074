#pragma once
#include "lzh/bitreader.h"
#include <cstdint>
#include <vector>

namespace lzh {

// Canonical Huffman decoding table for code lengths up to 16. Codes of up to kFastBits bits
// resolve with one lookup; longer ones are found by length.
class Huffman {
public:
    // Builds from `n` lengths; false unless they form a complete prefix code.
    bool Build(const uint8_t* lengths, int n);
    // A table of one symbol whose code has no bits.
    bool SetSingle(int symbol);

    int Decode(BitReader& in) const {
        BitReader::Cursor c = in.Save();
        in.Ensure(c);
        int symbol = Decode(c);
        in.Restore(c);
        return symbol;
    }
    // Decodes from a cursor that holds at least 16 bits.
    int Decode(BitReader::Cursor& c) const {
        uint32_t bits = c.Peek16();
        uint16_t entry = fast_[bits >> shift_];
        int len = entry >> 11;
        if (len <= kFastBits) {
            c.Consume(len);
            return entry & 0x7FF;
        }
        int symbol = DecodeLong(bits, len);
        c.Consume(len);
        return symbol;
    }

private:
    static constexpr int kFastBits = 12;
    int DecodeLong(uint32_t bits, int& len) const;

    // symbol | length << 11 (31 = a longer code), indexed by the first fast_bits_ bits
    uint16_t fast_[1 << kFastBits] = {};
    int fast_bits_ = kFastBits, shift_ = 16 - kFastBits;
    uint32_t first_code_[17] = {};
    uint16_t count_[17] = {};
    uint16_t first_index_[17] = {};
    std::vector<uint16_t> sorted_;
};

} // namespace lzh
