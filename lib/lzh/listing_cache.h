#pragma once
#include "lzh/archive.h"
#include <cstdint>
#include <memory>
#include <string>

namespace lzh {

// What tells a changed archive file from the one listed: its size and last-write time.
struct FileStamp {
    uint64_t size = 0;
    int64_t written = 0; // in the system's own units (100 ns on Windows, ns elsewhere)
    bool operator==(const FileStamp& o) const { return size == o.size && written == o.written; }
};

bool StampOf(const std::string& path, FileStamp& stamp);

// The listing of an archive file, read again only when the file has changed. A browser asks
// for one member at a time, and reading every header of a large archive for each question
// cost more than decoding the pictures. Null when the file cannot be read.
struct FileListing {
    std::shared_ptr<const Listing> listing;
    uint64_t size = 0;
};
FileListing ListArchiveFile(const std::string& path);

// Drops every kept listing: after a command wrote an archive.
void ForgetListings();

} // namespace lzh
