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
        uint32_t entry = fast_[c.bits >> (64 - kFastBits)];
        if ((entry & kLengthMask) > kFastBits) entry = DecodeLong(c.Peek16());
        c.Consume(static_cast<int>(entry & kLengthMask));
        return static_cast<int>(entry >> kLengthBits);
    }

private:
    static constexpr int kFastBits = 12;
    // Entries hold the code's length in the low bits, where a shift can take it as it is.
    static constexpr int kLengthBits = 6;
    static constexpr uint32_t kLengthMask = (1 << kLengthBits) - 1;
    static constexpr int kLong = kLengthMask; // the length of entries that start a longer code
    static uint16_t Entry(uint32_t symbol, uint32_t length) {
        return static_cast<uint16_t>(symbol << kLengthBits | length);
    }
    // The entry for a code longer than kFastBits at the top of `bits`.
    uint32_t DecodeLong(uint32_t bits) const;

    // Entry(symbol, length), indexed by the next kFastBits bits
    uint16_t fast_[1 << kFastBits] = {};
    uint32_t first_code_[17] = {};
    uint16_t count_[17] = {};
    uint16_t first_index_[17] = {};
    std::vector<uint16_t> sorted_;
};

} // namespace lzh
