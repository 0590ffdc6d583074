#include "lzh/huffman.h"

namespace lzh {

bool Huffman::SetSingle(int symbol) {
    for (uint16_t& e : fast_) e = static_cast<uint16_t>(symbol);
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
    // Fill the one-lookup table: each short code covers a run of entries; entries that
    // start a longer code are marked for the slow path.
    for (int len = 1; len <= 16; ++len) {
        for (int k = 0; k < count_[len]; ++k) {
            uint32_t c = first_code_[len] + static_cast<uint32_t>(k);
            uint16_t symbol = sorted_[first_index_[len] + k];
            if (len <= kFastBits) {
                uint32_t from = c << (kFastBits - len), to = (c + 1) << (kFastBits - len);
                for (uint32_t e = from; e < to; ++e)
                    fast_[e] = static_cast<uint16_t>(symbol | len << 11);
            } else {
                fast_[c >> (len - kFastBits)] = static_cast<uint16_t>(31 << 11);
            }
        }
    }
    return true;
}

int Huffman::DecodeLong(BitReader& in, uint32_t bits) const {
    for (int len = kFastBits + 1; len <= 16; ++len) {
        uint32_t code = bits >> (16 - len);
        if (code - first_code_[len] < count_[len]) {
            in.Skip(len);
            return sorted_[first_index_[len] + code - first_code_[len]];
        }
    }
    return 0; // unreachable for a complete code
}

} // namespace lzh
