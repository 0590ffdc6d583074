// The CRC-16 archive entries carry (reflected polynomial 0xA001, initial value 0), so that
// a file can be compared with the entry it was packed into or extracted from.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tovn {

uint16_t EntryCrc16(const uint8_t* data, size_t size, uint16_t crc = 0);

} // namespace tovn
