#include "lzh/crc16.h"
#include <array>

namespace lzh {
namespace {

// tables[k][b]: the CRC contribution of byte b followed by k zero bytes, so that kSlice
// bytes are folded in per step.
constexpr int kSlice = 16;
using Tables = std::array<std::array<uint16_t, 256>, kSlice>;

Tables MakeTables() {
    Tables t{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned value = i;
        for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ 0xA001 : value >> 1;
        t[0][i] = static_cast<uint16_t>(value);
    }
    for (int k = 1; k < kSlice; ++k)
        for (unsigned i = 0; i < 256; ++i)
            t[k][i] = static_cast<uint16_t>(t[k - 1][i] >> 8 ^ t[0][t[k - 1][i] & 0xFF]);
    return t;
}

} // namespace

uint16_t Crc16(const uint8_t* data, size_t size, uint16_t crc) {
    static const Tables t = MakeTables();
    size_t i = 0;
    for (; i + kSlice <= size; i += kSlice) {
        const uint8_t* p = data + i;
        unsigned c = crc ^ (p[0] | p[1] << 8);
        crc = static_cast<uint16_t>(t[15][c & 0xFF] ^ t[14][c >> 8] ^ t[13][p[2]] ^ t[12][p[3]] ^
                                    t[11][p[4]] ^ t[10][p[5]] ^ t[9][p[6]] ^ t[8][p[7]] ^
                                    t[7][p[8]] ^ t[6][p[9]] ^ t[5][p[10]] ^ t[4][p[11]] ^
                                    t[3][p[12]] ^ t[2][p[13]] ^ t[1][p[14]] ^ t[0][p[15]]);
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
