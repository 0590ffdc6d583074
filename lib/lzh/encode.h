#pragma once
#include "lzh/decode.h"
#include "lzh/source.h"
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lzh {

// Compresses all of `source` as an -lh5- stream (8 KiB window, static Huffman blocks) into
// `sink`, reading and holding only a bounded window of it, and gives the CRC-16 of what it
// read. False when the sink refused the output or the source ended early.
bool EncodeLh5(Source& source, Sink& sink, uint16_t& crc);
std::vector<uint8_t> EncodeLh5(const uint8_t* data, size_t size);

// Code lengths (at most `max_length` bits) of a complete prefix code for the symbols with
// non-zero frequency. Fewer than two such symbols give all-zero lengths.
std::vector<uint8_t> LimitedCodeLengths(const std::vector<uint32_t>& freq, int max_length);

} // namespace lzh
