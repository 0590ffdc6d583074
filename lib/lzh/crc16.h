#pragma once
#include <cstddef>
#include <cstdint>

namespace lzh {

// CRC-16 with the reflected polynomial 0xA001, initial value 0: the checksum that LZH
// archives store for member data and for level 1-3 headers.
uint16_t Crc16(const uint8_t* data, size_t size, uint16_t crc = 0);

} // namespace lzh
