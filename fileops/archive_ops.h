// The archive operations of the file commands, on top of the archive library's command
// entry: extract, pack, delete and rename members of the open archive, the work folder,
// and the checks that a copy really holds what is about to be removed.
#pragma once
#include "app/result.h"
#include "core/browser_state.h"
#include "place/place.h"
#include "place/shell_ops.h"
#include <memory>
#include <string>
#include <vector>

namespace tovn {

class BrowserPort;

// Unpacks every target into folder (ends in "\"); files there that the targets replace are
// first put aside as delete does (PutAsideBeforeReplacing). Fails with ERROR_FILE_NOT_FOUND,
// without calling the library, when the archive file is missing, with the shell's failure
// when a file could not be put aside (nothing is extracted then), or with the library's code.
Result ExtractTargets(BrowserPort& w, const TargetList& targets, const std::wstring& folder);
// ExtractTargets for a command: a failure with the archive gone is ArchiveGone (reported by
// taking the browser back to its folder). A failure means the command must stop.
Result ExtractForCommand(BrowserPort& w, const TargetList& targets, const std::wstring& folder);
// Adds each target, taken from sourceFolder, to the archive (created when new).
void PackTargets(BrowserPort& w, const TargetList& targets, const std::wstring& archivePath,
                 const std::wstring& sourceFolder);
// Removes every target from the open archive and empties its slot. Fails as ExtractTargets
// does; no slot is emptied then.
Result DeleteTargetsFromArchive(BrowserPort& w, const TargetList& targets);
// DeleteTargetsFromArchive for a command, as ExtractForCommand.
Result DeleteForCommand(BrowserPort& w, const TargetList& targets);
// The place the browser shows: its folder, or the open archive with the work folder.
std::unique_ptr<Place> OpenPlace(BrowserPort& w);

// The work folder beside the program, prepared as PrepareWorkFolder does; false when the
// operation must not start.
bool CreateTempDir(BrowserPort& w);
// CreateTempDir, the user told (beep and message, over owner) when it fails.
bool PrepareTempDir(BrowserPort& w, HWND owner);
void ClearTempDir(BrowserPort& w);
// The work folder renamed to a folder of its own beside it, which no later operation clears,
// for files an operation could not put back; returns its path (ending in "\"), or the work
// folder itself when it cannot be renamed.
std::wstring SetTempDirAside(BrowserPort& w);

// True when the archive holds, for every name, a member with the same contents as the file
// folder + name (size and checksum). Nothing may be removed before this holds.
bool ArchiveMatchesFiles(BrowserPort& w, const std::wstring& archivePath,
                         const std::wstring& folder, const std::vector<std::wstring>& names);
// The contents of one file of a folder, taken before the file is handed over.
struct NamedDigest {
    std::wstring name;
    FileDigest digest;
};
// Every file (not folder) of folder; false when one of them cannot be read.
bool FolderDigests(const std::wstring& folder, std::vector<NamedDigest>& files);
// True when the archive holds, for every entry, a member of that name with those contents.
bool ArchiveHolds(BrowserPort& w, const std::wstring& archivePath,
                  const std::vector<NamedDigest>& files);
// The target names the archive commands can carry.
std::vector<std::wstring> ArchiveTargetNames(const TargetList& targets);

} // namespace tovn
