#include "lzh/header.h"
#include "lzh/crc16.h"
#include "lzh/paths.h"
#include "lzh/text.h"
#include <algorithm>
#include <ctime>

namespace lzh {
namespace {

constexpr uint64_t kMaxHeader = 1 << 20; // no real header comes near this
constexpr int64_t kFiletimeUnixEpoch = 11644473600LL;
constexpr int64_t kTicksPerSecond = 10000000;

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Get32(const uint8_t* p) {
    return Get16(p) | static_cast<uint32_t>(Get16(p + 2)) << 16;
}
uint64_t Get64(const uint8_t* p) {
    return Get32(p) | static_cast<uint64_t>(Get32(p + 4)) << 32;
}
void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

uint8_t Checksum(const uint8_t* p, size_t size) {
    unsigned sum = 0;
    for (size_t i = 0; i < size; ++i) sum += p[i];
    return static_cast<uint8_t>(sum);
}

// Amiga archivers put a file comment after a NUL inside the name field: the name ends there.
std::string NameField(const uint8_t* p, size_t size) {
    const uint8_t* end = std::find(p, p + size, 0);
    return std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(end - p));
}

// What the extended headers of one member say; applied to the member at the end.
struct Extensions {
    std::string name, dir;
    std::u16string wide_name, wide_dir; // 0x44 / 0x45, written by current Windows archivers
    bool has_name = false;
    bool has_attribute = false;
    uint16_t attribute = 0;
    long crc_pos = -1; // position of the header CRC inside the header bytes
    uint16_t header_crc = 0;
    bool has_large_sizes = false;
    uint64_t packed = 0, original = 0;
    int64_t write_time = 0; // from 0x41 or 0x54, 0 when absent
};

// Interprets one extended header: `p` points at its type byte, `size` excludes the
// next-size field.
bool ApplyExtension(const uint8_t* p, size_t size, long pos, Extensions& ext) {
    const uint8_t* body = p + 1;
    size_t len = size - 1;
    switch (p[0]) {
    case 0x00:
        if (len < 2) return false;
        ext.crc_pos = pos + 1;
        ext.header_crc = Get16(body);
        break;
    case 0x01:
        ext.name = NameField(body, len);
        ext.has_name = true;
        break;
    case 0x02:
        ext.dir = NameField(body, len);
        break;
    case 0x44:
    case 0x45: {
        std::u16string& wide = p[0] == 0x44 ? ext.wide_name : ext.wide_dir;
        wide.clear();
        for (size_t i = 0; i + 1 < len && Get16(body + i) != 0; i += 2) wide += Get16(body + i);
        break;
    }
    case 0x40:
        if (len >= 2) {
            ext.attribute = Get16(body);
            ext.has_attribute = true;
        }
        break;
    case 0x41:
        if (len >= 16) {
            int64_t t = FiletimeToUnix(Get64(body + 8));
            if (t > 0) ext.write_time = t;
        }
        break;
    case 0x42:
        if (len >= 16) {
            ext.has_large_sizes = true;
            ext.packed = Get64(body);
            ext.original = Get64(body + 8);
        }
        break;
    case 0x54:
        if (len >= 4) ext.write_time = Get32(body);
        break;
    default:
        break;
    }
    return true;
}

// Walks the chain of extended headers in `bytes` from `pos`; each ends with a next-size
// field of `width` bytes. Returns the end of the chain, or -1 if it leaves the header.
long WalkExtensions(const std::vector<uint8_t>& bytes, long pos, uint64_t size, int width,
                    Extensions& ext) {
    while (size != 0) {
        if (size < static_cast<uint64_t>(1 + width) || pos + size > bytes.size()) return -1;
        const uint8_t* p = bytes.data() + pos;
        if (!ApplyExtension(p, size - width, pos, ext)) return -1;
        uint64_t next = width == 2 ? Get16(p + size - 2) : Get32(p + size - 4);
        pos += static_cast<long>(size);
        size = next;
    }
    return pos;
}

// Reads `size` bytes at `offset` into `bytes` after what it holds.
bool Append(Source& source, uint64_t offset, size_t size, std::vector<uint8_t>& bytes) {
    size_t at = bytes.size();
    bytes.resize(at + size);
    return source.Read(offset + at, bytes.data() + at, size) == size;
}

bool HeaderCrcMatches(std::vector<uint8_t> bytes, const Extensions& ext) {
    if (ext.crc_pos < 0) return true;
    bytes[ext.crc_pos] = bytes[ext.crc_pos + 1] = 0;
    return Crc16(bytes.data(), bytes.size()) == ext.header_crc;
}

Status ParseLevel0(Source& source, uint64_t offset, std::vector<uint8_t>& bytes, Member& m) {
    size_t total = bytes[0] + 2u, n = bytes[21];
    if (total < 22 + n) return Status::kBadHeader;
    bytes.clear();
    if (!Append(source, offset, total, bytes)) return Status::kTruncated;
    if (Checksum(bytes.data() + 2, total - 2) != bytes[1]) return Status::kBadHeaderChecksum;
    m.path = NameField(&bytes[22], n);
    m.attribute = bytes[19];
    m.mtime = DosTimeToUnix(Get32(&bytes[15]));
    if (total >= 24 + n) m.crc = Get16(&bytes[22 + n]);
    // Unix archivers append 'U', a version byte and the Unix time.
    if (total >= 24 + n + 6 && bytes[24 + n] == 'U') m.mtime = Get32(&bytes[26 + n]);
    m.packed_size = Get32(&bytes[7]);
    m.header_size = total;
    return Status::kOk;
}

Status ParseLevel1(Source& source, uint64_t offset, std::vector<uint8_t>& bytes, Member& m,
                   Extensions& ext) {
    size_t base = bytes[0] + 2u, n = bytes[21];
    if (base < 27 + n) return Status::kBadHeader;
    bytes.clear();
    if (!Append(source, offset, base, bytes)) return Status::kTruncated;
    if (Checksum(bytes.data() + 2, base - 2) != bytes[1]) return Status::kBadHeaderChecksum;
    ext.name = NameField(&bytes[22], n);
    m.crc = Get16(&bytes[22 + n]);
    m.os_id = bytes[24 + n];
    m.mtime = DosTimeToUnix(Get32(&bytes[15]));
    for (uint64_t size = Get16(&bytes[base - 2]); size != 0;) {
        size_t at = bytes.size();
        if (size < 3 || at + size > kMaxHeader) return Status::kBadHeader;
        if (!Append(source, offset, size, bytes)) return Status::kTruncated;
        ApplyExtension(&bytes[at], size - 2, static_cast<long>(at), ext);
        size = Get16(&bytes[at + size - 2]);
    }
    uint64_t skip = Get32(&bytes[7]), extensions = bytes.size() - base;
    if (skip < extensions) return Status::kBadHeader;
    m.packed_size = skip - extensions;
    m.header_size = bytes.size();
    return Status::kOk;
}

Status ParseLevel2(Source& source, uint64_t offset, std::vector<uint8_t>& bytes, Member& m,
                   Extensions& ext) {
    size_t total = Get16(&bytes[0]);
    if (total < 26) return Status::kBadHeader;
    bytes.clear();
    if (!Append(source, offset, total, bytes)) return Status::kTruncated;
    // OS-9/68K archivers count two bytes too few.
    if (bytes[23] == 'K' && !Append(source, offset, 2, bytes)) return Status::kTruncated;
    total = bytes.size();
    long end = WalkExtensions(bytes, 26, Get16(&bytes[24]), 2, ext);
    if (end < 0) return Status::kBadHeader;
    m.header_size = total;
    return Status::kOk;
}

Status ParseLevel3(Source& source, uint64_t offset, std::vector<uint8_t>& bytes, Member& m,
                   Extensions& ext) {
    if (Get16(&bytes[0]) != 4) return Status::kBadHeader;
    bytes.clear();
    if (!Append(source, offset, 32, bytes)) return Status::kTruncated;
    uint64_t total = Get32(&bytes[24]);
    if (total < 32 || total > kMaxHeader) return Status::kBadHeader;
    if (!Append(source, offset, static_cast<size_t>(total - 32), bytes)) return Status::kTruncated;
    if (WalkExtensions(bytes, 32, Get32(&bytes[28]), 4, ext) < 0) return Status::kBadHeader;
    m.header_size = total;
    return Status::kOk;
}

// Shared by levels 2 and 3: the fields of the first 24 bytes.
void ReadUnixFields(const std::vector<uint8_t>& bytes, Member& m) {
    m.packed_size = Get32(&bytes[7]);
    m.mtime = Get32(&bytes[15]);
    m.crc = Get16(&bytes[21]);
    m.os_id = bytes[23];
}

// A UTF-16 name wins where every character has a code page 932 form; otherwise the code
// page name, or the UTF-16 name with substitutes when that is all there is.
std::string PreferWide(const std::u16string& wide, const std::string& narrow) {
    std::string converted;
    if (wide.empty() || (!WideToCp932(wide, converted) && !narrow.empty())) return narrow;
    return converted;
}

Status Finish(const std::vector<uint8_t>& bytes, Extensions& ext, Member& m) {
    if (m.level > 0 && !HeaderCrcMatches(bytes, ext)) return Status::kBadHeaderChecksum;
    if (ext.has_attribute) m.attribute = ext.attribute;
    if (ext.has_large_sizes) {
        m.packed_size = ext.packed;
        m.original_size = ext.original;
    }
    if (m.level == 1 && ext.write_time != 0) m.mtime = ext.write_time;
    m.mtime = std::clamp(m.mtime, kMinFileTime, kMaxFileTime);
    if (m.level > 0) {
        std::string name = PreferWide(ext.wide_name, ext.name);
        std::string dir = PreferWide(ext.wide_dir, ext.dir);
        if (!dir.empty() && !name.empty()) dir += '\xFF';
        m.path = dir + name;
    }
    m.path = JoinPath(SplitPath(m.path), '/');
    if (m.path.empty()) return Status::kBadHeader;
    return Status::kOk;
}

} // namespace

const char* StatusText(Status status) {
    switch (status) {
    case Status::kOk:
        return "ok";
    case Status::kEnd:
        return "end of archive";
    case Status::kTruncated:
        return "archive truncated";
    case Status::kBadHeader:
        return "broken header";
    case Status::kBadHeaderChecksum:
        return "header checksum error";
    case Status::kUnsupportedMethod:
        return "unsupported method";
    case Status::kBadData:
        return "broken data";
    case Status::kBadCrc:
        return "CRC error";
    case Status::kTooLarge:
        return "too large";
    }
    return "?";
}

std::string Member::Name() const {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Member::Dir() const {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

namespace {

Status ReadMember(Source& source, uint64_t offset, std::vector<uint8_t>& bytes, Member& m);

} // namespace

Status ReadHeader(Source& source, uint64_t offset, Member& m) {
    std::vector<uint8_t> bytes(22);
    size_t got = source.Read(offset, bytes.data(), bytes.size());
    if (got == 0) return Status::kEnd;
    if (bytes[0] != 0) {
        if (got < bytes.size()) return Status::kTruncated;
        return ReadMember(source, offset, bytes, m);
    }
    // A zero byte ends the archive, unless it starts a level-2 header whose length is a
    // multiple of 256 and the bytes form a valid header.
    if (got < bytes.size() || bytes[20] != 2) return Status::kEnd;
    return ReadMember(source, offset, bytes, m) == Status::kOk ? Status::kOk : Status::kEnd;
}

namespace {

Status ReadMember(Source& source, uint64_t offset, std::vector<uint8_t>& bytes, Member& m) {
    if (bytes[2] != '-' || bytes[6] != '-') return Status::kBadHeader;
    m = Member();
    m.method.assign(reinterpret_cast<const char*>(&bytes[2]), 5);
    m.original_size = Get32(&bytes[11]);
    m.level = bytes[20];
    m.header_offset = offset;
    Extensions ext;
    Status status;
    switch (m.level) {
    case 0:
        status = ParseLevel0(source, offset, bytes, m);
        break;
    case 1:
        status = ParseLevel1(source, offset, bytes, m, ext);
        break;
    case 2:
        status = ParseLevel2(source, offset, bytes, m, ext);
        break;
    case 3:
        status = ParseLevel3(source, offset, bytes, m, ext);
        break;
    default:
        return Status::kBadHeader;
    }
    if (status != Status::kOk) return status;
    if (m.level >= 2) ReadUnixFields(bytes, m);
    status = Finish(bytes, ext, m);
    m.data_offset = offset + m.header_size;
    return status;
}

} // namespace

std::vector<uint8_t> BuildHeader(const Member& m) {
    std::vector<std::string> parts = SplitPath(m.path);
    std::string name = m.IsDirectory() || parts.empty() ? std::string() : parts.back();
    if (!m.IsDirectory() && !parts.empty()) parts.pop_back();
    std::string dir;
    for (const std::string& part : parts) dir += part + '\xFF';
    bool large = m.packed_size > 0xFFFFFFFFu || m.original_size > 0xFFFFFFFFu;
    if (name.size() + dir.size() > 60000 || m.method.size() != 5) return {};

    std::vector<std::vector<uint8_t>> exts;
    exts.push_back({0x00, 0, 0});
    exts.push_back({0x01});
    exts.back().insert(exts.back().end(), name.begin(), name.end());
    if (!dir.empty()) {
        exts.push_back({0x02});
        exts.back().insert(exts.back().end(), dir.begin(), dir.end());
    }
    exts.push_back(
        {0x40, static_cast<uint8_t>(m.attribute), static_cast<uint8_t>(m.attribute >> 8)});
    if (large) { // 64-bit sizes; the base fields keep the low 32 bits
        exts.push_back({0x42});
        for (uint64_t v : {m.packed_size, m.original_size})
            for (int i = 0; i < 8; ++i) exts.back().push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    size_t total = 26 + 2 * exts.size();
    for (const auto& e : exts) total += e.size();
    // A header length that is a multiple of 256 starts with a zero byte, which old readers
    // take for the end of the archive: lengthen the CRC header by its information byte.
    if (total % 256 == 0) {
        exts[0].push_back(0);
        ++total;
    }

    std::vector<uint8_t> h(26);
    Put16(&h[0], static_cast<uint32_t>(total));
    std::copy(m.method.begin(), m.method.end(), h.begin() + 2);
    Put32(&h[7], static_cast<uint32_t>(m.packed_size));
    Put32(&h[11], static_cast<uint32_t>(m.original_size));
    Put32(&h[15], static_cast<uint32_t>(m.mtime));
    h[19] = 0x20;
    h[20] = 2;
    Put16(&h[21], m.crc);
    h[23] = m.os_id == 'm' || m.os_id == 'U' ? m.os_id : 'M';
    Put16(&h[24], static_cast<uint32_t>(exts[0].size() + 2));
    for (size_t i = 0; i < exts.size(); ++i) {
        h.insert(h.end(), exts[i].begin(), exts[i].end());
        uint32_t next = i + 1 < exts.size() ? static_cast<uint32_t>(exts[i + 1].size() + 2) : 0;
        h.push_back(static_cast<uint8_t>(next));
        h.push_back(static_cast<uint8_t>(next >> 8));
    }
    Put16(&h[27], Crc16(h.data(), h.size()));
    return h;
}

uint64_t UnixToFiletime(int64_t unix_time) {
    int64_t t = std::clamp(unix_time, kMinFileTime, kMaxFileTime);
    return static_cast<uint64_t>(t + kFiletimeUnixEpoch) * kTicksPerSecond;
}

int64_t FiletimeToUnix(uint64_t filetime) {
    uint64_t limit = static_cast<uint64_t>(INT64_MAX);
    return static_cast<int64_t>(std::min(filetime, limit) / kTicksPerSecond) - kFiletimeUnixEpoch;
}

int64_t DosTimeToUnix(uint32_t dos) {
    if (dos == 0) return 0;
    std::tm tm{};
    tm.tm_sec = static_cast<int>(dos & 0x1F) * 2;
    tm.tm_min = static_cast<int>(dos >> 5 & 0x3F);
    tm.tm_hour = static_cast<int>(dos >> 11 & 0x1F);
    tm.tm_mday = static_cast<int>(dos >> 16 & 0x1F);
    tm.tm_mon = static_cast<int>(dos >> 21 & 0x0F) - 1;
    tm.tm_year = static_cast<int>(dos >> 25) + 80;
    tm.tm_isdst = -1;
    std::time_t t = std::mktime(&tm);
    return t == static_cast<std::time_t>(-1) ? 0 : static_cast<int64_t>(t);
}

uint32_t UnixToDosTime(int64_t unix_time) {
    std::time_t t = static_cast<std::time_t>(unix_time);
    std::tm tm{};
#ifdef _WIN32
    if (localtime_s(&tm, &t) != 0) return 0;
#else
    if (!localtime_r(&t, &tm)) return 0;
#endif
    if (tm.tm_year < 80) return (1 << 21) | (1 << 16); // 1980-01-01, the earliest DOS date
    if (tm.tm_year > 207) tm.tm_year = 207;
    return static_cast<uint32_t>(tm.tm_year - 80) << 25 |
           static_cast<uint32_t>(tm.tm_mon + 1) << 21 | static_cast<uint32_t>(tm.tm_mday) << 16 |
           static_cast<uint32_t>(tm.tm_hour) << 11 | static_cast<uint32_t>(tm.tm_min) << 5 |
           static_cast<uint32_t>(tm.tm_sec / 2);
}

} // namespace lzh
