// Hand-built headers of every level, and the ways a header can be damaged.
#include "lzh/archive.h"
#include "lzh/crc16.h"
#include "lzh/paths.h"
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

// Level 2, stored "A.TXT" = "hello\n", Unix time 1262304000, OS 'M'.
const Bytes kLevel2 = {0x27, 0x00, '-',  'l',  'h',  '0',  '-',  0x06, 0x00, 0x00, 0x00, 0x06,
                       0x00, 0x00, 0x00, 0x00, 0x3b, 0x3d, 0x4b, 0x20, 0x02, 0x34, 0x5a, 0x4d,
                       0x05, 0x00, 0x00, 0xdf, 0x9c, 0x08, 0x00, 0x01, 'A',  '.',  'T',  'X',
                       'T',  0x00, 0x00, 'h',  'e',  'l',  'l',  'o',  '\n', 0x00};

// Level 0 with a path, DOS time 2010-01-01 00:00; the name field is filled in by callers.
Bytes Level0(const std::string& path, const Bytes& data) {
    Bytes h = {0, 0, '-', 'l', 'h', '0', '-'};
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) h.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    put32(static_cast<uint32_t>(data.size()));
    put32(static_cast<uint32_t>(data.size()));
    put32(0x3C210000);
    h.push_back(0x20);
    h.push_back(0);
    h.push_back(static_cast<uint8_t>(path.size()));
    h.insert(h.end(), path.begin(), path.end());
    uint16_t crc = lzh::Crc16(data.data(), data.size());
    h.push_back(static_cast<uint8_t>(crc));
    h.push_back(static_cast<uint8_t>(crc >> 8));
    h[0] = static_cast<uint8_t>(h.size() - 2);
    unsigned sum = 0;
    for (size_t i = 2; i < h.size(); ++i) sum += h[i];
    h[1] = static_cast<uint8_t>(sum);
    h.insert(h.end(), data.begin(), data.end());
    h.push_back(0);
    return h;
}

void FixLevel2Crc(Bytes& a, size_t crc_at) {
    a[crc_at] = a[crc_at + 1] = 0;
    uint16_t total = static_cast<uint16_t>(a[0] | a[1] << 8);
    uint16_t crc = lzh::Crc16(a.data(), total);
    a[crc_at] = static_cast<uint8_t>(crc);
    a[crc_at + 1] = static_cast<uint8_t>(crc >> 8);
}

std::string Only(const Bytes& archive, lzh::Status expect = lzh::Status::kOk) {
    lzh::MemorySource source(archive);
    lzh::Listing listing = lzh::ListArchive(source);
    EXPECT_EQ(listing.status, expect);
    if (listing.members.size() != 1) return "?";
    Bytes data;
    EXPECT_EQ(lzh::ExtractToMemory(source, listing.members[0], data), lzh::Status::kOk);
    return listing.members[0].path + "=" + std::string(data.begin(), data.end());
}

} // namespace

TEST(Header, EveryLevelReadsTheSameMember) {
    EXPECT_EQ(Only(kLevel2), "A.TXT=hello\n");
    EXPECT_EQ(Only(Level0("DIR\\A.TXT", Bytes{'h', 'i'})), "DIR/A.TXT=hi");

    // Level 2 with the one-byte padding some Unix archivers add after the chain.
    Bytes padded = kLevel2;
    padded.insert(padded.begin() + 0x27, 0x00);
    padded[0] = 0x28;
    FixLevel2Crc(padded, 27);
    EXPECT_EQ(Only(padded), "A.TXT=hello\n");

    // Level 3: 4-byte sizes throughout.
    Bytes l3 = {0x04, 0x00, '-', 'l', 'h', '0', '-', 2,    0, 0, 0, 2,
                0,    0,    0,   0,   0,   0,   0,   0x20, 3, 0, 0, 'U'};
    uint16_t crc = lzh::Crc16(reinterpret_cast<const uint8_t*>("ok"), 2);
    l3[21] = static_cast<uint8_t>(crc);
    l3[22] = static_cast<uint8_t>(crc >> 8);
    Bytes ext = {0x01, 'B', '.', 'T', 'X', 'T', 0, 0, 0, 0};
    uint32_t total = 32 + static_cast<uint32_t>(ext.size());
    for (uint32_t v : {total, static_cast<uint32_t>(ext.size())})
        for (int i = 0; i < 4; ++i) l3.push_back(static_cast<uint8_t>(v >> (8 * i)));
    l3.insert(l3.end(), ext.begin(), ext.end());
    l3.insert(l3.end(), {'o', 'k', 0});
    EXPECT_EQ(Only(l3), "B.TXT=ok");
}

TEST(Header, DamageIsReportedNotMisread) {
    Bytes bad_crc = kLevel2;
    bad_crc[28] ^= 1;
    EXPECT_EQ(Only(bad_crc, lzh::Status::kBadHeaderChecksum), "?");
    Bytes bad_sum = Level0("A.TXT", {'x'});
    bad_sum[1] ^= 1;
    EXPECT_EQ(Only(bad_sum, lzh::Status::kBadHeaderChecksum), "?");
    Bytes cut(kLevel2.begin(), kLevel2.begin() + 30);
    EXPECT_EQ(Only(cut, lzh::Status::kTruncated), "?");
    Bytes chain = kLevel2; // next-size field pointing past the header
    chain[29] = 0x40;
    FixLevel2Crc(chain, 27);
    EXPECT_EQ(Only(chain, lzh::Status::kBadHeader), "?");
    Bytes no_method = kLevel2;
    no_method[2] = 'x';
    EXPECT_EQ(Only(no_method, lzh::Status::kBadHeader), "?");
    // Data CRC mismatch is caught when decoding.
    Bytes bad_data = kLevel2;
    bad_data[0x27] = 'j';
    lzh::MemorySource source(bad_data);
    Bytes out;
    EXPECT_EQ(lzh::ExtractToMemory(source, lzh::ListArchive(source).members.at(0), out),
              lzh::Status::kBadCrc);
    // A member claiming gigabytes is refused before anything is allocated.
    Bytes huge = kLevel2;
    huge[14] = 0x80;
    FixLevel2Crc(huge, 27);
    lzh::MemorySource huge_source(huge);
    EXPECT_EQ(lzh::ExtractToMemory(huge_source, lzh::ListArchive(huge_source).members.at(0), out),
              lzh::Status::kTooLarge);
    // Bytes after the end byte are ignored; a missing end byte is fine.
    Bytes trailing = kLevel2;
    trailing.insert(trailing.end(), {'j', 'u', 'n', 'k'});
    EXPECT_EQ(Only(trailing), "A.TXT=hello\n");
    EXPECT_EQ(Only(Bytes(kLevel2.begin(), kLevel2.end() - 1)), "A.TXT=hello\n");
}

TEST(Header, ShiftJisNamesKeepTheirSecondByte) {
    // 表 is 95 5C: its second byte is not a separator; the following '\' is.
    EXPECT_EQ(Only(Level0("\x95\x5C\\x.txt", {'1'})), "\x95\x5C/x.txt=1");
    EXPECT_EQ(lzh::SplitPath("\x83\x5C\xFF\x83\x5C"),
              (std::vector<std::string>{"\x83\x5C", "\x83\x5C"}));
    EXPECT_TRUE(lzh::WildcardMatch("*.MAG", "\x95\x5C.mag"));
    EXPECT_TRUE(lzh::WildcardMatch("?.mag", "\x95\x5C.mag")); // one character, two bytes
    EXPECT_FALSE(lzh::SameName("\x83\x41", "\x83\x61"));      // different characters
    EXPECT_TRUE(lzh::SameName("Photo.MAG", "photo.mag"));
}

TEST(Header, Crc16CheckValue) {
    EXPECT_EQ(lzh::Crc16(reinterpret_cast<const uint8_t*>("123456789"), 9), 0xBB3D);
    // The eight-bytes-at-a-time path agrees with the byte-wise one at every split.
    std::vector<uint8_t> data(37);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 37 + 11);
    uint16_t whole = lzh::Crc16(data.data(), data.size());
    for (size_t cut = 0; cut <= data.size(); ++cut)
        EXPECT_EQ(lzh::Crc16(data.data() + cut, data.size() - cut, lzh::Crc16(data.data(), cut)),
                  whole);
}

TEST(Header, DosTimeRoundTrip) {
    for (uint32_t dos : {0x362111EFu, 0x379F944Au, 0x3C210000u})
        EXPECT_EQ(lzh::UnixToDosTime(lzh::DosTimeToUnix(dos)), dos) << std::hex << dos;
}
