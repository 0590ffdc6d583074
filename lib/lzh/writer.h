#pragma once
#include "lzh/filesystem.h"
#include "lzh/header.h"
#include "lzh/source.h"
#include <cstdint>
#include <string>
#include <vector>

namespace lzh {

// Writes a new archive member by member, ending with the end byte. Members stream from
// their sources through a bounded buffer, whatever their size.
class ArchiveBuilder {
public:
    ArchiveBuilder(); // collects the archive in memory; Finish() hands it over
    explicit ArchiveBuilder(OutputFile& out);
    ArchiveBuilder(const ArchiveBuilder&) = delete;
    ArchiveBuilder& operator=(const ArchiveBuilder&) = delete;

    // Copies an existing member (header and data) unchanged.
    bool AddCopy(Source& source, const Member& member);
    // Copies an existing member's data under a new stored path (with a fresh header).
    bool AddRenamed(Source& source, const Member& member, const std::string& path);
    // Compresses new contents as -lh5- (stored as -lh0- when that is not smaller).
    bool AddFile(const std::string& path, Source& data, int64_t mtime, uint16_t attribute,
                 bool compress = true);
    bool AddFile(const std::string& path, const std::vector<uint8_t>& data, int64_t mtime,
                 uint16_t attribute, bool compress = true);
    // Writes the end byte. False if any write failed.
    bool Close();
    // For the in-memory form: closes and returns the archive's bytes.
    std::vector<uint8_t> Finish();

private:
    bool CopyRange(Source& source, uint64_t offset, uint64_t size);

    MemoryOutput memory_;
    OutputFile& out_;
    bool ok_ = true;
};

} // namespace lzh
