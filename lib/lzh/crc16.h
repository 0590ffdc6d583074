#pragma once
#include <cstddef>
#include <cstdint>

namespace lzh {

// CRC-16 with the reflected polynomial 0xA001, initial value 0: the checksum that LZH
// archives store for member data and for level 1-3 headers.
uint16_t Crc16(const uint8_t* data, size_t size, uint16_t crc = 0);

// CRC-16 with the polynomial 0x1021 (not reflected), initial value 0: the checksum of
// MacBinary headers.
uint16_t Crc16Ccitt(const uint8_t* data, size_t size);

} // namespace lzh
