#include "lzh/huffman.h"
#include <algorithm>
#include <cstring>

namespace lzh {

namespace {

// Sets `span` table entries from `at`. Runs of four or more start at a multiple of four (a
// code's run is a power of two aligned to its size), so they go in 8-byte stores.
void FillRun(uint16_t* at, uint32_t span, uint16_t entry) {
    if (span < 4) {
        for (uint32_t i = 0; i < span; ++i) at[i] = entry;
        return;
    }
    const uint64_t four = entry * 0x0001000100010001u;
    for (uint32_t i = 0; i < span; i += 4) std::memcpy(at + i, &four, 8);
}

} // namespace

bool Huffman::SetSingle(int symbol) {
    FillRun(fast_, 1 << kFastBits, Entry(static_cast<uint32_t>(symbol), 0));
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
    // start a longer code go to the slow path.
    for (int len = 1; len <= 16; ++len) {
        for (int k = 0; k < count_[len]; ++k) {
            uint32_t c = first_code_[len] + static_cast<uint32_t>(k);
            uint16_t symbol = sorted_[first_index_[len] + k];
            if (len <= kFastBits) {
                FillRun(fast_ + (c << (kFastBits - len)), 1u << (kFastBits - len),
                        Entry(symbol, static_cast<uint32_t>(len)));
            } else {
                fast_[c >> (len - kFastBits)] = Entry(0, kLong);
            }
        }
    }
    return true;
}

uint32_t Huffman::DecodeLong(uint32_t bits) const {
    for (uint32_t len = kFastBits + 1; len <= 16; ++len) {
        uint32_t code = bits >> (16 - len);
        if (code - first_code_[len] < count_[len])
            return Entry(sorted_[first_index_[len] + code - first_code_[len]], len);
    }
    return Entry(0, 16); // unreachable for a complete code
}

} // namespace lzh
