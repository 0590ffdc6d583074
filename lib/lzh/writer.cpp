#include "lzh/writer.h"
#include "lzh/crc16.h"
#include "lzh/encode.h"

namespace lzh {
namespace {

// Passes bytes on until `limit` would be reached: compressed output that is not smaller
// than the input is abandoned for a stored copy.
class LimitSink : public Sink {
public:
    LimitSink(Sink& next, uint64_t limit) : next_(next), left_(limit) {}
    bool Write(const uint8_t* data, size_t size) override {
        if (size >= left_) return false;
        left_ -= size;
        return next_.Write(data, size);
    }

private:
    Sink& next_;
    uint64_t left_;
};

// Copies `source` whole into `out`, computing its CRC; false if it ends early.
bool Store(Source& source, Sink& out, uint16_t& crc) {
    std::vector<uint8_t> buffer(1 << 18);
    crc = 0;
    uint64_t done = 0;
    while (done < source.Size()) {
        size_t got = source.Read(done, buffer.data(), buffer.size());
        if (got == 0) return false;
        crc = Crc16(buffer.data(), got, crc);
        if (!out.Write(buffer.data(), got)) return false;
        done += got;
    }
    return true;
}

} // namespace

ArchiveBuilder::ArchiveBuilder() : out_(memory_) {}

ArchiveBuilder::ArchiveBuilder(OutputFile& out) : out_(out) {}

bool ArchiveBuilder::CopyRange(Source& source, uint64_t offset, uint64_t size) {
    if (offset > source.Size() || size > source.Size() - offset) return false;
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(size, 1 << 18)));
    while (size > 0) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(size, buffer.size()));
        if (source.Read(offset, buffer.data(), want) != want) return false;
        if (!out_.Write(buffer.data(), want)) return false;
        offset += want;
        size -= want;
    }
    return true;
}

bool ArchiveBuilder::AddCopy(Source& source, const Member& member) {
    ok_ = ok_ && CopyRange(source, member.header_offset, member.header_size + member.packed_size);
    return ok_;
}

bool ArchiveBuilder::AddRenamed(Source& source, const Member& member, const std::string& path) {
    Member renamed = member;
    renamed.path = path;
    std::vector<uint8_t> header = BuildHeader(renamed);
    ok_ = ok_ && !header.empty() && out_.Write(header.data(), header.size()) &&
          CopyRange(source, member.data_offset, member.packed_size);
    return ok_;
}

bool ArchiveBuilder::AddFile(const std::string& path, Source& data, int64_t mtime,
                             uint16_t attribute, bool compress) {
    Member m;
    m.path = path;
    m.mtime = mtime;
    m.attribute = attribute;
    m.original_size = data.Size();
    m.method = "-lh5-";
    // The header's length depends only on the name and whether the sizes need 64 bits, so
    // it can be written first and filled in once the data is known.
    std::vector<uint8_t> header = BuildHeader(m);
    uint64_t header_at = out_.Position();
    if (!ok_ || header.empty() || !out_.Write(header.data(), header.size())) return ok_ = false;
    uint64_t data_at = out_.Position();
    LimitSink limited(out_, m.original_size);
    bool packed = compress && m.original_size > 0 && EncodeLh5(data, limited, m.crc);
    if (!packed) {
        m.method = "-lh0-";
        if (!out_.Seek(data_at) || !Store(data, out_, m.crc)) return ok_ = false;
    }
    uint64_t end = out_.Position();
    m.packed_size = end - data_at;
    header = BuildHeader(m);
    ok_ = header.size() == data_at - header_at && out_.Seek(header_at) &&
          out_.Write(header.data(), header.size()) && out_.Seek(end);
    return ok_;
}

bool ArchiveBuilder::AddFile(const std::string& path, const std::vector<uint8_t>& data,
                             int64_t mtime, uint16_t attribute, bool compress) {
    MemorySource source(data);
    return AddFile(path, source, mtime, attribute, compress);
}

bool ArchiveBuilder::Close() {
    const uint8_t end = 0;
    ok_ = ok_ && out_.Write(&end, 1);
    return ok_;
}

std::vector<uint8_t> ArchiveBuilder::Finish() {
    if (!Close() || !out_.Close()) return {};
    return std::move(memory_.bytes());
}

} // namespace lzh
