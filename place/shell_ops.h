// The shell's file operation and the folder helpers the file commands share.
#pragma once
#include "app/result.h"
#include "fileops/requests.h"
#include <windows.h>
#include <string>
#include <vector>

namespace tovn {

// One shell request for the whole list (nothing happens for an empty list). A copy or move
// into a folder that does not exist creates it first, so that the shell never takes the
// folder name for a new file name. Fails when the shell does not report every file done.
Result RunShellOperation(HWND owner, const ShellRequest& request,
                         const std::vector<std::wstring>& paths);

// Creates folder (ending in "\" or not) with every missing parent; true when it exists.
bool MakeFolderWithParents(const std::wstring& folder);

// Size and entry checksum of a file's contents.
struct FileDigest {
    unsigned long long size = 0;
    uint16_t crc = 0;
};
bool ReadDigest(const std::wstring& path, FileDigest& digest);

} // namespace tovn
