#include "lzh/huffman.h"
#include <algorithm>

namespace lzh {

bool Huffman::SetSingle(int symbol) {
    fast_bits_ = 0;
    shift_ = 16;
    fast_[0] = static_cast<uint16_t>(symbol);
    return true;
}

bool Huffman::Build(const uint8_t* lengths, int n) {
    uint32_t kraft = 0;
    for (int len = 0; len <= 16; ++len) count_[len] = 0;
    for (int s = 0; s < n; ++s) {
        if (lengths[s] > 16) return false;
        if (lengths[s]) {
            ++count_[lengths[s]];
            kraft += 1u << (16 - lengths[s]);
        }
    }
    if (kraft != 1u << 16) return false;
    sorted_.assign(static_cast<size_t>(n), 0);
    uint32_t code = 0;
    uint16_t index = 0;
    for (int len = 1; len <= 16; ++len) {
        first_code_[len] = code;
        first_index_[len] = index;
        code = (code + count_[len]) << 1;
        index = static_cast<uint16_t>(index + count_[len]);
    }
    uint16_t next[17];
    for (int len = 1; len <= 16; ++len) next[len] = first_index_[len];
    for (int s = 0; s < n; ++s)
        if (lengths[s]) sorted_[next[lengths[s]]++] = static_cast<uint16_t>(s);
    // Fill the one-lookup table, no wider than the longest code needs: each short code
    // covers a run of entries; entries that start a longer code go to the slow path.
    int longest = 16;
    while (count_[longest] == 0) --longest;
    fast_bits_ = std::min(longest, kFastBits);
    shift_ = 16 - fast_bits_;
    for (int len = 1; len <= 16; ++len) {
        for (int k = 0; k < count_[len]; ++k) {
            uint32_t c = first_code_[len] + static_cast<uint32_t>(k);
            uint16_t symbol = sorted_[first_index_[len] + k];
            if (len <= fast_bits_) {
                uint32_t from = c << (fast_bits_ - len), to = (c + 1) << (fast_bits_ - len);
                for (uint32_t e = from; e < to; ++e)
                    fast_[e] = static_cast<uint16_t>(symbol | len << 11);
            } else {
                fast_[c >> (len - fast_bits_)] = static_cast<uint16_t>(31 << 11);
            }
        }
    }
    return true;
}

int Huffman::DecodeLong(uint32_t bits, int& length) const {
    for (int len = kFastBits + 1; len <= 16; ++len) {
        uint32_t code = bits >> (16 - len);
        if (code - first_code_[len] < count_[len]) {
            length = len;
            return sorted_[first_index_[len] + code - first_code_[len]];
        }
    }
    length = 16;
    return 0; // unreachable for a complete code
}

} // namespace lzh
