#pragma once
#include "lzh/header.h"
#include "lzh/source.h"
#include <cstdint>
#include <string>
#include <vector>

namespace lzh {

// Assembles a new archive in memory, member by member, ending with the end byte.
class ArchiveBuilder {
public:
    // Copies an existing member (header and data) unchanged.
    bool AddCopy(Source& source, const Member& member);
    // Copies an existing member's data under a new stored path (with a fresh header).
    bool AddRenamed(Source& source, const Member& member, const std::string& path);
    // Compresses new contents as -lh5- (stored as -lh0- when that is not smaller).
    bool AddFile(const std::string& path, const std::vector<uint8_t>& data, int64_t mtime,
                 uint16_t attribute, bool compress = true);
    std::vector<uint8_t> Finish();

private:
    bool Append(const Member& member, const uint8_t* data, size_t size);
    bool AppendFrom(Source& source, uint64_t offset, uint64_t size);

    std::vector<uint8_t> bytes_;
};

} // namespace lzh
