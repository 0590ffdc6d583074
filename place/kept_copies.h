// Nothing is removed before a copy of it is known to be whole: the checks that an archive
// holds what a folder holds, and the putting aside of files something is about to replace.
#pragma once
#include "app/result.h"
#include "core/browser_state.h"
#include "place/shell_ops.h"
#include <windows.h>
#include <string>
#include <vector>

namespace tovn {

// Where deleted pictures go: mode 0 nowhere (for good), 1 the recycle bin, 2 the folder.
struct Backup {
    int mode = 0;
    std::wstring folder; // ends in "\"
};
inline Backup BackupOf(const BrowserState& st) {
    return {st.BackupMode, st.BackupDir};
}

// True when the archive holds, for every name, a member with the same contents as the file
// folder + name (size and checksum).
bool ArchiveMatchesFiles(HWND owner, const std::wstring& archivePath, const std::wstring& folder,
                         const std::vector<std::wstring>& names);
// The contents of one file of a folder, taken before the file is handed over.
struct NamedDigest {
    std::wstring name;
    FileDigest digest;
};
// Every file (not folder) of folder; false when one of them cannot be read.
bool FolderDigests(const std::wstring& folder, std::vector<NamedDigest>& files);
// True when the archive holds, for every entry, a member of that name with those contents.
bool ArchiveHolds(HWND owner, const std::wstring& archivePath,
                  const std::vector<NamedDigest>& files);
// The target names the archive library can carry.
std::vector<std::wstring> ArchiveTargetNames(const TargetList& targets);

// A step that should have kept a copy did not: nothing is removed, and the user is told.
Result FilesKept();

// What becomes of a file about to be replaced when the backup keeps no copy of it.
enum class WithoutBackup { Replace, Refuse };
// The files at paths (in folder) that something is about to replace go where delete puts
// deleted pictures. Where the backup keeps no copy (mode 0, or its folder is folder itself)
// they are left to be replaced, or the whole step is refused. Fails, with the files not
// taken where they were, unless every one has gone.
Result PutAsideBeforeReplacing(HWND owner, const Backup& backup, const std::wstring& folder,
                               const std::vector<std::wstring>& paths, WithoutBackup without);

} // namespace tovn
