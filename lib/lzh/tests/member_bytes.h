#pragma once
// Archive members assembled byte by byte, so that tests can make the headers other archivers
// write (and damaged ones) without depending on any writer.
#include "lzh/crc16.h"
#include <cstdint>
#include <string>
#include <vector>

namespace lzhtest {

using Bytes = std::vector<uint8_t>;

inline void Put(Bytes& b, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

struct Extension {
    uint8_t type;
    Bytes body;
};

// A level-2 member. Sizes default to those of `data`; `with_crc` adds the header-CRC
// extension; `header_length` pads the header with an unknown extension to that length.
struct Level2 {
    std::string method = "-lh0-";
    Bytes data;
    std::vector<Extension> extensions;
    uint8_t os_id = 'M';
    bool with_crc = true;
    size_t header_length = 0;
    int64_t stored_length_delta = 0; // OS-9/68K archivers store the length 2 bytes short
    uint64_t packed = UINT64_MAX, original = UINT64_MAX;
    uint16_t data_crc = 0;
    bool crc_given = false;

    Bytes Build() const {
        std::vector<Extension> exts;
        if (with_crc) exts.push_back({0x00, {0, 0}});
        exts.insert(exts.end(), extensions.begin(), extensions.end());
        size_t total = 26;
        for (const Extension& e : exts) total += 3 + e.body.size();
        if (header_length > total) exts.push_back({0x7E, Bytes(header_length - total - 3, 'p')});
        if (header_length > total) total = header_length;
        uint64_t pk = packed == UINT64_MAX ? data.size() : packed;
        uint64_t orig = original == UINT64_MAX ? data.size() : original;
        Bytes h;
        Put(h, static_cast<uint64_t>(static_cast<int64_t>(total) + stored_length_delta), 2);
        h.insert(h.end(), method.begin(), method.end());
        Put(h, pk, 4);
        Put(h, orig, 4);
        Put(h, 1262304000, 4);
        h.push_back(0x20);
        h.push_back(2);
        Put(h, crc_given ? data_crc : lzh::Crc16(data.data(), data.size()), 2);
        h.push_back(os_id);
        Put(h, exts.empty() ? 0 : exts[0].body.size() + 3, 2);
        for (size_t i = 0; i < exts.size(); ++i) {
            h.push_back(exts[i].type);
            h.insert(h.end(), exts[i].body.begin(), exts[i].body.end());
            Put(h, i + 1 < exts.size() ? exts[i + 1].body.size() + 3 : 0, 2);
        }
        if (with_crc) {
            uint16_t crc = lzh::Crc16(h.data(), h.size());
            h[27] = static_cast<uint8_t>(crc);
            h[28] = static_cast<uint8_t>(crc >> 8);
        }
        h.insert(h.end(), data.begin(), data.end());
        return h;
    }
};

inline Extension NameExtension(const std::string& name) {
    return {0x01, Text(name)};
}

// A level-0 or level-1 member with `name` in the base header (stored data, DOS time).
inline Bytes LowLevel(int level, const std::string& name, const Bytes& data, uint8_t os_id = 'M') {
    Bytes h = {0, 0, '-', 'l', 'h', '0', '-'};
    Put(h, data.size(), 4);
    Put(h, data.size(), 4);
    Put(h, 0x3C210000, 4);
    h.push_back(0x20);
    h.push_back(static_cast<uint8_t>(level));
    h.push_back(static_cast<uint8_t>(name.size()));
    h.insert(h.end(), name.begin(), name.end());
    Put(h, lzh::Crc16(data.data(), data.size()), 2);
    if (level == 1) {
        h.push_back(os_id);
        Put(h, 0, 2); // no extended headers
    }
    h[0] = static_cast<uint8_t>(h.size() - 2);
    unsigned sum = 0;
    for (size_t i = 2; i < h.size(); ++i) sum += h[i];
    h[1] = static_cast<uint8_t>(sum);
    h.insert(h.end(), data.begin(), data.end());
    return h;
}

// An -lh5- stream of `blocks` blocks, each 65535 copies of one 256-byte match at distance 1:
// about 7 bytes per 16 MiB of spaces.
inline Bytes Bomb(int blocks) {
    Bytes out;
    uint64_t acc = 0;
    int count = 0;
    auto put = [&](uint32_t v, int n) {
        acc = acc << n | v;
        count += n;
        while (count >= 8) {
            count -= 8;
            out.push_back(static_cast<uint8_t>(acc >> count));
        }
    };
    for (int b = 0; b < blocks; ++b) {
        put(65535, 16);
        put(0, 5), put(0, 5);   // T table: one symbol
        put(0, 9), put(509, 9); // C table: only "match of 256"
        put(0, 4), put(0, 4);   // P table: only distance 1
    }
    if (count) put(0, 8 - count);
    return out;
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace lzhtest
