#include "lzh/archive.h"
#include "lzh/crc16.h"
#include <algorithm>
#include <cstring>

namespace lzh {
namespace {

// True when the end byte at `end` is followed by more bytes (or there is no end byte but
// bytes remain that no header explains).
bool HasTrailingBytes(Source& source, uint64_t end) {
    return end < source.Size() && source.Size() - end > 1;
}

uint32_t BigEndian32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

constexpr size_t kMacBinaryHeader = 128;

uint64_t Padded(uint64_t size) {
    return (size + kMacBinaryHeader - 1) / kMacBinaryHeader * kMacBinaryHeader;
}

// MacBinary II and III headers name their version and carry a CRC of themselves.
bool CheckedMacBinaryHeader(const uint8_t* h) {
    return h[122] >= 129 && (h[124] << 8 | h[125]) == Crc16Ccitt(h, 124);
}

// MacBinary I headers (as MacLHA writes them) carry no CRC: every field that later
// versions use (comment length up to the CRC) must be zero instead.
bool PlainMacBinaryHeader(const uint8_t* h) {
    return std::all_of(h + 99, h + 126, [](uint8_t b) { return b == 0; });
}

// The data-fork length of a MacBinary stream of `total` bytes whose header is `h`, or -1
// when the header is not a valid MacBinary I/II/III header for a stream of that size.
int64_t MacBinaryDataFork(const uint8_t* h, uint64_t total) {
    if (h[0] != 0 || h[74] != 0 || h[82] != 0 || h[1] == 0 || h[1] > 63) return -1;
    if (!CheckedMacBinaryHeader(h) && !PlainMacBinaryHeader(h)) return -1;
    if (h[120] != 0 || h[121] != 0) return -1; // no secondary header
    uint64_t data = BigEndian32(h + 83), rsrc = BigEndian32(h + 87);
    // The last fork present may go without its padding.
    uint64_t needed = kMacBinaryHeader + (rsrc ? Padded(data) + rsrc : data);
    uint64_t padded = kMacBinaryHeader + Padded(data) + Padded(rsrc);
    if (total < needed || total > padded) return -1;
    return static_cast<int64_t>(data);
}

// Passes on a Macintosh archiver's member as its data fork when it is MacBinary, and any
// other member unchanged. Holds the first 128 bytes until it can tell.
class MacBinarySink : public Sink {
public:
    MacBinarySink(Sink& next, uint64_t total) : next_(next), total_(total) {}
    bool Write(const uint8_t* data, size_t size) override {
        while (size > 0 && !decided_) {
            size_t n = std::min(size, kMacBinaryHeader - held_);
            std::memcpy(head_ + held_, data, n);
            held_ += n, data += n, size -= n;
            if (held_ == kMacBinaryHeader && !Decide()) return false;
        }
        if (!decided_ || size == 0) return true;
        uint64_t take = std::min<uint64_t>(size, left_);
        left_ -= take;
        return take == 0 || next_.Write(data, static_cast<size_t>(take));
    }
    // Delivers what is still held (members shorter than a MacBinary header).
    bool Finish() { return decided_ || held_ == 0 || next_.Write(head_, held_); }

private:
    bool Decide() {
        decided_ = true;
        int64_t fork = total_ >= kMacBinaryHeader ? MacBinaryDataFork(head_, total_) : -1;
        if (fork >= 0) {
            left_ = static_cast<uint64_t>(fork);
            return true;
        }
        left_ = UINT64_MAX;
        return next_.Write(head_, held_);
    }

    Sink& next_;
    uint64_t total_, left_ = 0;
    uint8_t head_[kMacBinaryHeader];
    size_t held_ = 0;
    bool decided_ = false;
};

// Fills a caller's block; refuses to go past its end.
class BlockSink : public Sink {
public:
    BlockSink(uint8_t* block, size_t size) : block_(block), size_(size) {}
    bool Write(const uint8_t* data, size_t size) override {
        if (size > size_ - used_) return false;
        if (size == 0) return true;
        std::memcpy(block_ + used_, data, size);
        used_ += size;
        return true;
    }
    size_t used() const { return used_; }

private:
    uint8_t* block_;
    size_t size_, used_ = 0;
};

} // namespace

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
        // The data must lie inside the file: a 64-bit size must not wrap the offset.
        if (member.data_offset > source.Size() ||
            member.packed_size > source.Size() - member.data_offset) {
            listing.status = Status::kTruncated;
            break;
        }
        listing.members.push_back(member);
        offset = member.data_offset + member.packed_size;
    }
    listing.end_offset = offset;
    listing.trailing_bytes =
        listing.status != Status::kOk || HasTrailingBytes(source, listing.end_offset);
    return listing;
}

Status ExtractMember(Source& source, const Member& member, Sink& sink) {
    if (member.os_id != 'm') return DecodeMember(source, member, sink);
    MacBinarySink mac(sink, member.original_size);
    Status status = DecodeMember(source, member, mac);
    if (status == Status::kOk && !mac.Finish()) status = Status::kBadData;
    return status;
}

Status ExtractToBlock(Source& source, const Member& member, uint8_t* block, size_t size,
                      size_t& used) {
    BlockSink sink(block, size);
    Status status = ExtractMember(source, member, sink);
    used = sink.used();
    return status;
}

Status ExtractToMemory(Source& source, const Member& member, std::vector<uint8_t>& out,
                       uint64_t limit) {
    out.clear();
    // A few bytes of -lh5- can claim gigabytes: refuse what the caller cannot hold.
    if (member.original_size > limit || member.original_size > SIZE_MAX) return Status::kTooLarge;
    out.resize(static_cast<size_t>(member.original_size));
    size_t used = 0;
    Status status = ExtractToBlock(source, member, out.data(), out.size(), used);
    out.resize(used);
    return status;
}

bool LooksLikeArchive(const uint8_t* data, size_t size) {
    if (size < 22 || data[0] == 0) return false;
    if (data[2] != '-' || data[6] != '-' || data[3] != 'l') return false;
    return data[20] <= 3;
}

} // namespace lzh
