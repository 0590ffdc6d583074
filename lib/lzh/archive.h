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
};

// Walks every header of the archive. The walk stops at the end byte, at the end of the
// file, or at the first broken header (members before it are kept).
Listing ListArchive(Source& source);

constexpr uint64_t kMaxMemoryMember = uint64_t(1) << 30;

// Decodes one member fully into memory (checked against its CRC); members larger than
// kMaxMemoryMember are refused with kTooLarge.
Status ExtractToMemory(Source& source, const Member& member, std::vector<uint8_t>& out);

// True when the first bytes look like an LZH member header.
bool LooksLikeArchive(const uint8_t* data, size_t size);

} // namespace lzh
