// Headers as other archivers really write them, and headers made to break the reader.
#include "lzh/archive.h"
#include "lzh/listing_cache.h"
#include "lzh/source.h"
#include "member_bytes.h"
#include <cstdio>
#include <gtest/gtest.h>

namespace {

using lzhtest::Bytes;
using lzhtest::Join;
using lzhtest::Level2;
using lzhtest::NameExtension;
using lzhtest::Text;

struct Read {
    lzh::Status status;
    std::vector<std::string> paths;
    std::vector<std::string> contents; // as extraction delivers them
    std::vector<uint64_t> sizes;       // as the listing reports them
};

Read ReadAll(const Bytes& archive) {
    lzh::MemorySource source(archive);
    lzh::Listing listing = lzh::ListArchive(source);
    Read r{listing.status, {}, {}, {}};
    for (const lzh::Member& m : listing.members) {
        Bytes data;
        lzh::Status s = lzh::ExtractToMemory(source, m, data);
        r.paths.push_back(m.path);
        r.contents.push_back(s == lzh::Status::kOk ? std::string(data.begin(), data.end())
                                                   : lzh::StatusText(s));
        r.sizes.push_back(m.original_size);
    }
    return r;
}

Level2 Member(const std::string& name, const std::string& data) {
    Level2 m;
    m.data = Text(data);
    m.extensions = {NameExtension(name)};
    return m;
}

// A MacBinary stream: 128-byte header, data fork, resource fork, each padded to 128.
// Version 2 headers name their version and carry a CRC; version 1 headers have neither.
Bytes MacBinary(const std::string& name, const std::string& data, const std::string& rsrc,
                int version = 2) {
    Bytes h(128, 0);
    h[1] = static_cast<uint8_t>(name.size());
    std::copy(name.begin(), name.end(), h.begin() + 2);
    std::copy_n("PICTJVWR", 8, h.begin() + 65);
    for (int i = 0; i < 4; ++i) {
        h[83 + i] = static_cast<uint8_t>(data.size() >> (24 - 8 * i));
        h[87 + i] = static_cast<uint8_t>(rsrc.size() >> (24 - 8 * i));
    }
    if (version >= 2) {
        h[122] = h[123] = 129;
        uint16_t crc = lzh::Crc16Ccitt(h.data(), 124);
        h[124] = static_cast<uint8_t>(crc >> 8);
        h[125] = static_cast<uint8_t>(crc);
    }
    Bytes out = h;
    for (const std::string* fork : {&data, &rsrc}) {
        out.insert(out.end(), fork->begin(), fork->end());
        out.resize((out.size() + 127) / 128 * 128, 0);
    }
    return out;
}

TEST(Reader, Level2WithoutHeaderCrc) {
    Level2 plain = Member("A.TXT", "no crc here");
    plain.with_crc = false;
    Level2 os9 = Member("B.TXT", "os9");
    os9.with_crc = false;
    os9.os_id = 'K';
    os9.stored_length_delta = -2; // OS-9/68K counts two bytes too few
    Read r = ReadAll(Join({plain.Build(), os9.Build(), {0}}));
    EXPECT_EQ(r.status, lzh::Status::kOk);
    EXPECT_EQ(r.paths, (std::vector<std::string>{"A.TXT", "B.TXT"}));
    EXPECT_EQ(r.contents, (std::vector<std::string>{"no crc here", "os9"}));
}

TEST(Reader, AmigaCommentAfterNulIsNotPartOfTheName) {
    const std::string name("metadata.txt\0This is a comment", 29);
    for (int level : {0, 1}) {
        Read r = ReadAll(Join({lzhtest::LowLevel(level, name, Text("x"), 'A'), {0}}));
        EXPECT_EQ(r.paths, std::vector<std::string>{"metadata.txt"}) << level;
    }
    Level2 l2 = Member(name, "y");
    l2.os_id = 'A';
    l2.extensions.push_back({0x02, Text(std::string("dir\xFF\0note", 8))});
    EXPECT_EQ(ReadAll(Join({l2.Build(), {0}})).paths, std::vector<std::string>{"dir/metadata.txt"});
}

TEST(Reader, MacintoshMembersGiveTheirDataFork) {
    std::string fork(300, 'd'), rsrc(70, 'r');
    Bytes wrapped = MacBinary("Photo", fork, rsrc);
    Level2 mac = Member("Photo", std::string(wrapped.begin(), wrapped.end()));
    mac.os_id = 'm';
    Read r = ReadAll(Join({mac.Build(), {0}}));
    ASSERT_EQ(r.contents.size(), 1u);
    EXPECT_EQ(r.contents[0], fork);
    EXPECT_EQ(r.sizes[0], wrapped.size()); // the listing keeps the stored size

    // A damaged MacBinary header, or the same bytes from another system, stay whole.
    Bytes bad = wrapped;
    bad[124] ^= 1;
    Level2 broken = Member("Photo", std::string(bad.begin(), bad.end()));
    broken.os_id = 'm';
    Level2 unix_member = Member("Photo", std::string(wrapped.begin(), wrapped.end()));
    unix_member.os_id = 'U';
    Read other = ReadAll(Join({broken.Build(), unix_member.Build(), {0}}));
    EXPECT_EQ(other.contents,
              (std::vector<std::string>{std::string(bad.begin(), bad.end()),
                                        std::string(wrapped.begin(), wrapped.end())}));
    // Short members from a Macintosh archiver are not MacBinary at all.
    Level2 tiny = Member("t", "tiny");
    tiny.os_id = 'm';
    EXPECT_EQ(ReadAll(Join({tiny.Build(), {0}})).contents, std::vector<std::string>{"tiny"});
}

TEST(Reader, MacBinaryIMembersGiveTheirDataForkAndLookAlikesStayWhole) {
    const std::string fork(300, 'd'), rsrc(70, 'r');
    const Bytes wrapped = MacBinary("Photo", fork, rsrc, 1);
    auto with = [&](std::initializer_list<std::pair<size_t, uint8_t>> changes) {
        Bytes b = wrapped;
        for (const auto& [at, value] : changes) b[at] = value;
        return b;
    };
    Bytes dataOnly = MacBinary("Photo", fork, "", 1);
    dataOnly.resize(128 + fork.size()); // the last fork unpadded
    Bytes padded = wrapped;
    padded.resize(wrapped.size() + 128); // more than padding after the forks
    struct Case {
        const char* what;
        Bytes stored;
        char os_id;
        bool unwrapped;
    };
    const Case cases[] = {
        {"both forks", wrapped, 'm', true},
        {"the data fork alone, unpadded", dataOnly, 'm', true},
        {"from another system", wrapped, 'U', false},
        {"byte 74 set", with({{74, 1}}), 'm', false},
        {"byte 82 set", with({{82, 1}}), 'm', false},
        {"empty name", with({{1, 0}}), 'm', false},
        {"name of 64", with({{1, 64}}), 'm', false},
        {"a comment length", with({{99, 1}}), 'm', false},
        {"a version without CRC", with({{122, 129}}), 'm', false},
        {"a stray CRC byte", with({{125, 1}}), 'm', false},
        {"data fork longer than the member", with({{85, 2}}), 'm', false},
        {"resource fork longer than the member", with({{89, 1}}), 'm', false},
        {"bytes beyond the padded forks", padded, 'm', false},
    };
    for (const Case& c : cases) {
        Level2 m = Member("Photo", std::string(c.stored.begin(), c.stored.end()));
        m.os_id = c.os_id;
        Read r = ReadAll(Join({m.Build(), {0}}));
        ASSERT_EQ(r.contents.size(), 1u) << c.what;
        EXPECT_EQ(r.contents[0], c.unwrapped ? fork : std::string(c.stored.begin(), c.stored.end()))
            << c.what;
    }
}

TEST(Reader, PackedSizeBeyondTheFileIsRefused) {
    // 0x42 carries 64-bit sizes; one that wraps the offset must not send the walk back.
    for (uint64_t packed : {~uint64_t(0) - 40, ~uint64_t(0), uint64_t(1) << 40}) {
        Level2 wrap = Member("W.TXT", "data");
        Bytes sizes;
        lzhtest::Put(sizes, packed, 8);
        lzhtest::Put(sizes, 4, 8);
        wrap.extensions.push_back({0x42, sizes});
        Read r = ReadAll(Join({Member("A.TXT", "a").Build(), wrap.Build(), {0}}));
        EXPECT_EQ(r.paths, std::vector<std::string>{"A.TXT"});
        EXPECT_NE(r.status, lzh::Status::kOk);
    }
}

TEST(Reader, HeaderOf256BytesStartingWithZero) {
    Level2 first = Member("FIRST.TXT", "1");
    first.header_length = 256; // its length field reads 00 01
    Bytes archive = Join({first.Build(), Member("SECOND.TXT", "2").Build(), {0}});
    ASSERT_EQ(archive[0], 0);
    Read r = ReadAll(archive);
    EXPECT_EQ(r.status, lzh::Status::kOk);
    EXPECT_EQ(r.paths, (std::vector<std::string>{"FIRST.TXT", "SECOND.TXT"}));

    // A zero byte followed by bytes that are no header is still the end.
    Bytes junk = Join({Member("A.TXT", "a").Build(), {0}, Text("junk after the end byte....")});
    lzh::MemorySource source(junk);
    lzh::Listing listing = lzh::ListArchive(source);
    EXPECT_EQ(listing.members.size(), 1u);
    EXPECT_EQ(listing.status, lzh::Status::kOk);
    EXPECT_TRUE(listing.trailing_bytes);
    lzh::MemorySource clean_source(archive);
    EXPECT_FALSE(lzh::ListArchive(clean_source).trailing_bytes);
}

TEST(Reader, HugeFileTimeIsClamped) {
    // Level 1 takes its time from the Windows time stamps (0x41): all three at their maximum.
    Bytes times;
    for (int i = 0; i < 3; ++i) lzhtest::Put(times, ~uint64_t(0), 8);
    Bytes l1 = lzhtest::LowLevel(1, "T.TXT", Text("t"));
    size_t base = l1[0] + 2u;
    Bytes ext = {0x41};
    ext.insert(ext.end(), times.begin(), times.end());
    lzhtest::Put(ext, 0, 2);
    l1[base - 2] = static_cast<uint8_t>(ext.size());
    l1[7] = static_cast<uint8_t>(1 + ext.size()); // skip size: data + extensions
    unsigned sum = 0;
    for (size_t i = 2; i < base; ++i) sum += l1[i];
    l1[1] = static_cast<uint8_t>(sum);
    l1.insert(l1.begin() + base, ext.begin(), ext.end());
    lzh::MemorySource source(l1);
    lzh::Listing listing = lzh::ListArchive(source);
    ASSERT_EQ(listing.members.size(), 1u);
    int64_t t = listing.members[0].mtime;
    EXPECT_LE(t, lzh::kMaxFileTime);
    uint64_t ft = lzh::UnixToFiletime(t); // must not overflow
    EXPECT_LE(ft, uint64_t(INT64_MAX));
    EXPECT_EQ(lzh::UnixToFiletime(INT64_MIN), 0u);
    EXPECT_EQ(lzh::UnixToFiletime(INT64_MAX), uint64_t(INT64_MAX) / 10000000 * 10000000);
    EXPECT_EQ(lzh::UnixToFiletime(1262304000), 0x01CA8A755C6E0000u);
    EXPECT_EQ(lzh::FiletimeToUnix(0x01CA8A755C6E0000u), 1262304000);
}

Bytes Utf16(const std::u16string& s) {
    Bytes out;
    for (char16_t c : s) lzhtest::Put(out, c, 2);
    return out;
}

TEST(Reader, Utf16NamesBecomeCodePage932) {
    Level2 photo = Member("ignored.bmp", "1");
    photo.extensions = {{0x44, Utf16(u"\u5199\u771F.bmp")}, {0x45, Utf16(u"\u8868\\")}};
    Level2 emoji = Member("", "2");
    emoji.extensions = {{0x44, Utf16(u"a\U0001F600\u00A5.bmp")}};
    Level2 fallback = Member("plain.bmp", "3"); // the code page name is kept when exact fails
    fallback.extensions.push_back({0x44, Utf16(u"x\U0001F600.bmp")});
    Read r = ReadAll(Join({photo.Build(), emoji.Build(), fallback.Build(), {0}}));
    EXPECT_EQ(r.paths,
              (std::vector<std::string>{"\x95\x5C/\x8E\xCA\x90\x5E.bmp", "a__.bmp", "plain.bmp"}));
}

} // namespace

// A file read through its read-ahead window gives exactly the bytes a block in memory gives,
// whatever the mix of small reads, reads across the window's end, large reads and reads past
// the end of the file.
TEST(Reader, FileReadsMatchTheBytesWhateverTheirPattern) {
    Bytes bytes(200000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 131 + i / 977);
    const std::string path = ::testing::TempDir() + "file_source_reads.bin";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
        std::fclose(f);
    }
    lzh::FileSource file(path);
    lzh::MemorySource memory(bytes);
    ASSERT_TRUE(file.IsOpen());
    ASSERT_EQ(file.Size(), bytes.size());
    const std::pair<uint64_t, size_t> reads[] = {
        {0, 22},         {22, 5},      {10, 3},     {65530, 20}, {65536, 1},
        {131000, 70000}, {199990, 40}, {200000, 1}, {250000, 8}, {3, 65536},
        {120000, 65535}, {0, 200000},  {199999, 1}, {65535, 2},  {64000, 4000}};
    for (const auto& [offset, size] : reads) {
        Bytes a(size, 0xEE), b(size, 0xEE);
        const size_t got = file.Read(offset, a.data(), size);
        EXPECT_EQ(got, memory.Read(offset, b.data(), size)) << offset << "+" << size;
        EXPECT_EQ(a, b) << offset << "+" << size;
    }
    std::remove(path.c_str());
}

// A listing is kept while its file is unchanged and read again once the file changed; a file
// that went away is not listed from memory.
TEST(Reader, KeptListingsFollowTheFile) {
    const std::string path = ::testing::TempDir() + "kept_listing.lzh";
    auto write = [&](const std::string& name) {
        Bytes archive = Join({Member(name, "data").Build(), {0}});
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(archive.data(), 1, archive.size(), f);
        std::fclose(f);
    };
    write("A.BMP");
    const lzh::FileListing first = lzh::ListArchiveFile(path);
    ASSERT_TRUE(first.listing);
    ASSERT_EQ(first.listing->members.size(), 1u);
    EXPECT_EQ(lzh::ListArchiveFile(path).listing, first.listing); // not read again

    write("LONGER.BMP");
    const lzh::FileListing second = lzh::ListArchiveFile(path);
    ASSERT_TRUE(second.listing);
    EXPECT_NE(second.listing, first.listing);
    EXPECT_EQ(second.listing->members[0].path, "LONGER.BMP");
    EXPECT_GT(second.size, first.size);

    std::remove(path.c_str());
    EXPECT_FALSE(lzh::ListArchiveFile(path).listing);
}
