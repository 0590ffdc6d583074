#include "lzh/crc16.h"
#include <array>

namespace lzh {
namespace {

// tables[k][b]: the CRC contribution of byte b followed by k zero bytes, so that eight
// bytes are folded in per step.
using Tables = std::array<std::array<uint16_t, 256>, 8>;

Tables MakeTables() {
    Tables t{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned value = i;
        for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ 0xA001 : value >> 1;
        t[0][i] = static_cast<uint16_t>(value);
    }
    for (int k = 1; k < 8; ++k)
        for (unsigned i = 0; i < 256; ++i)
            t[k][i] = static_cast<uint16_t>(t[k - 1][i] >> 8 ^ t[0][t[k - 1][i] & 0xFF]);
    return t;
}

} // namespace

uint16_t Crc16(const uint8_t* data, size_t size, uint16_t crc) {
    static const Tables t = MakeTables();
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        const uint8_t* p = data + i;
        unsigned c = crc ^ (p[0] | p[1] << 8);
        crc = static_cast<uint16_t>(t[7][c & 0xFF] ^ t[6][c >> 8] ^ t[5][p[2]] ^ t[4][p[3]] ^
                                    t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]]);
    }
    for (; i < size; ++i) crc = t[0][(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

uint16_t Crc16Ccitt(const uint8_t* data, size_t size) {
    uint16_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc ^= static_cast<uint16_t>(data[i] << 8);
        for (int k = 0; k < 8; ++k)
            crc = static_cast<uint16_t>(crc & 0x8000 ? crc << 1 ^ 0x1021 : crc << 1);
    }
    return crc;
}

} // namespace lzh
