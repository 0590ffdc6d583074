#pragma once
#include "lzh/decode.h"
#include "lzh/header.h"
#include "lzh/source.h"
#include <vector>

namespace lzh {

struct Listing {
    std::vector<Member> members;
    Status status = Status::kOk; // kOk when the list ended cleanly
    uint64_t end_offset = 0;     // where the end-of-archive byte is (or would be)
    bool trailing_bytes = false; // bytes after the end that no member accounts for, or a
                                 // walk that stopped at a broken header
};

// Walks every header of the archive. The walk stops at the end byte, at the end of the
// file, or at the first broken header (members before it are kept).
Listing ListArchive(Source& source);

// Decodes a member as a file on disk should hold it (checked against its CRC): the data
// fork when a Macintosh archiver stored the file as MacBinary, otherwise the data itself.
Status ExtractMember(Source& source, const Member& member, Sink& sink);

// The same into a caller's block of `size` bytes; more output than fits is kBadData.
Status ExtractToBlock(Source& source, const Member& member, uint8_t* block, size_t size,
                      size_t& used);

constexpr uint64_t kMaxMemoryMember = uint64_t(256) << 20;

// The same into memory; members larger than `limit` are refused with kTooLarge before
// anything is allocated.
Status ExtractToMemory(Source& source, const Member& member, std::vector<uint8_t>& out,
                       uint64_t limit = kMaxMemoryMember);

// True when the first bytes look like an LZH member header.
bool LooksLikeArchive(const uint8_t* data, size_t size);

} // namespace lzh
