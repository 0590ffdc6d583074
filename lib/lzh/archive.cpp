#include "lzh/archive.h"

namespace lzh {

Listing ListArchive(Source& source) {
    Listing listing;
    uint64_t offset = 0;
    for (;;) {
        Member member;
        Status status = ReadHeader(source, offset, member);
        if (status == Status::kEnd) break;
        if (status != Status::kOk) {
            listing.status = status;
            break;
        }
        uint64_t next = member.data_offset + member.packed_size;
        if (next > source.Size()) {
            listing.status = Status::kTruncated;
            break;
        }
        listing.members.push_back(member);
        offset = next;
    }
    listing.end_offset = offset;
    return listing;
}

Status ExtractToMemory(Source& source, const Member& member, std::vector<uint8_t>& out) {
    out.clear();
    // A few bytes of -lh5- can claim gigabytes; whole-member reads are for pictures.
    if (member.original_size > kMaxMemoryMember) return Status::kTooLarge;
    // Reserve what the header promises only when the stored data could plausibly hold it.
    if (member.original_size <= member.packed_size * 64 + (1 << 20))
        out.reserve(static_cast<size_t>(member.original_size));
    VectorSink sink(out);
    return DecodeMember(source, member, sink);
}

bool LooksLikeArchive(const uint8_t* data, size_t size) {
    if (size < 22 || data[0] == 0) return false;
    if (data[2] != '-' || data[6] != '-' || data[3] != 'l') return false;
    return data[20] <= 3;
}

} // namespace lzh
