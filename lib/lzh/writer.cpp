#include "lzh/writer.h"
#include "lzh/crc16.h"
#include "lzh/encode.h"

namespace lzh {

bool ArchiveBuilder::AppendFrom(Source& source, uint64_t offset, uint64_t size) {
    if (offset + size > source.Size() || size > SIZE_MAX - bytes_.size()) return false;
    size_t at = bytes_.size();
    bytes_.resize(at + static_cast<size_t>(size));
    return source.Read(offset, bytes_.data() + at, static_cast<size_t>(size)) == size;
}

bool ArchiveBuilder::Append(const Member& member, const uint8_t* data, size_t size) {
    std::vector<uint8_t> header = BuildHeader(member);
    if (header.empty()) return false;
    bytes_.insert(bytes_.end(), header.begin(), header.end());
    bytes_.insert(bytes_.end(), data, data + size);
    return true;
}

bool ArchiveBuilder::AddCopy(Source& source, const Member& member) {
    return AppendFrom(source, member.header_offset, member.header_size + member.packed_size);
}

bool ArchiveBuilder::AddRenamed(Source& source, const Member& member, const std::string& path) {
    Member renamed = member;
    renamed.path = path;
    std::vector<uint8_t> header = BuildHeader(renamed);
    if (header.empty()) return false;
    bytes_.insert(bytes_.end(), header.begin(), header.end());
    return AppendFrom(source, member.data_offset, member.packed_size);
}

bool ArchiveBuilder::AddFile(const std::string& path, const std::vector<uint8_t>& data,
                             int64_t mtime, uint16_t attribute, bool compress) {
    Member m;
    m.path = path;
    m.mtime = mtime;
    m.attribute = attribute;
    m.original_size = data.size();
    m.crc = Crc16(data.data(), data.size());
    std::vector<uint8_t> packed;
    if (compress && !data.empty()) packed = EncodeLh5(data.data(), data.size());
    if (compress && !data.empty() && packed.size() < data.size()) {
        m.method = "-lh5-";
        m.packed_size = packed.size();
        return Append(m, packed.data(), packed.size());
    }
    m.method = "-lh0-";
    m.packed_size = data.size();
    return Append(m, data.data(), data.size());
}

std::vector<uint8_t> ArchiveBuilder::Finish() {
    bytes_.push_back(0);
    return std::move(bytes_);
}

} // namespace lzh
