#pragma once
#include "lzh/source.h"
#include <cstdint>
#include <string>
#include <vector>

namespace lzh {

enum class Status {
    kOk,
    kEnd,               // end-of-archive byte or end of file
    kTruncated,         // the file ends inside a header or member data
    kBadHeader,         // inconsistent sizes, unknown level, missing name
    kBadHeaderChecksum, // level 0/1 checksum or header CRC mismatch
    kUnsupportedMethod,
    kBadData, // the compressed stream is malformed
    kBadCrc,  // decoded data does not match the stored CRC
    kTooLarge,
};

const char* StatusText(Status status);

// One archive member as its header describes it.
struct Member {
    std::string method;       // five characters, e.g. "-lh5-"
    uint64_t packed_size = 0; // compressed data only
    uint64_t original_size = 0;
    uint16_t crc = 0; // CRC-16 of the original data
    uint8_t level = 0;
    uint8_t os_id = 0;
    uint16_t attribute = 0x20;  // MS-DOS attribute bits
    int64_t mtime = 0;          // Unix seconds, UTC
    std::string path;           // code page 932 bytes, directories joined with '/'
    uint64_t header_offset = 0; // where the header starts in the archive
    uint64_t header_size = 0;
    uint64_t data_offset = 0;

    bool IsDirectory() const { return method == "-lhd-"; }
    std::string Name() const; // path without its directory part
    std::string Dir() const;  // directory part with a trailing '/', or empty
};

// Parses the member header that starts at `offset`. kEnd means no member starts there.
Status ReadHeader(Source& source, uint64_t offset, Member& member);

// Builds a level-2 header (the form Windows archivers write) for `member`; the sizes,
// CRC, method, time, attribute and path are taken from it.
std::vector<uint8_t> BuildHeader(const Member& member);

// Unix seconds <-> Windows FILETIME ticks; times are clamped to what a FILETIME can hold.
constexpr int64_t kMinFileTime = -11644473600LL;
constexpr int64_t kMaxFileTime = (INT64_MAX - 116444736000000000LL) / 10000000;
uint64_t UnixToFiletime(int64_t unix_time);
int64_t FiletimeToUnix(uint64_t filetime);

// DOS date/time (local time, as levels 0 and 1 store it) <-> Unix seconds.
int64_t DosTimeToUnix(uint32_t dos);
uint32_t UnixToDosTime(int64_t unix_time);

} // namespace lzh
