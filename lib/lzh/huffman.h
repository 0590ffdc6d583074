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
        uint32_t bits = in.Peek(16);
        uint16_t entry = fast_[bits >> (16 - kFastBits)];
        int len = entry >> 11;
        if (len <= kFastBits) {
            in.Consume(len);
            return entry & 0x7FF;
        }
        return DecodeLong(in, bits);
    }

private:
    static constexpr int kFastBits = 12;
    int DecodeLong(BitReader& in, uint32_t bits) const;

    uint16_t fast_[1 << kFastBits] = {}; // symbol | length << 11; length 31 = longer code
    uint32_t first_code_[17] = {};
    uint16_t count_[17] = {};
    uint16_t first_index_[17] = {};
    std::vector<uint16_t> sorted_;
};

} // namespace lzh
