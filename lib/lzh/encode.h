#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lzh {

// Compresses `data` as an -lh5- stream (8 KiB window, static Huffman blocks).
std::vector<uint8_t> EncodeLh5(const uint8_t* data, size_t size);

// Code lengths (at most `max_length` bits) of a complete prefix code for the symbols with
// non-zero frequency. Fewer than two such symbols give all-zero lengths.
std::vector<uint8_t> LimitedCodeLengths(const std::vector<uint32_t>& freq, int max_length);

} // namespace lzh
