// The file commands of the browser (their keys are rows of browser/command_table.cpp),
// and the steps they share.
#pragma once
#include "app/result.h"
#include <string>
#include <vector>

namespace tovn {

class BrowserPort;

void CopyOrMove(BrowserPort& w, bool move, bool openDestination);
void DeleteWithBackup(BrowserPort& w);
void NumberedRename(BrowserPort& w);
void RenameEach(BrowserPort& w);
void NewFolder(BrowserPort& w);
void InsertSpaceAtCursor(BrowserPort& w);
void Duplicate(BrowserPort& w);
void Pack(BrowserPort& w, bool removePacked);

// Deletes the targets found in folder as backupMode says, emptying their slots first.
// True when the shell reports every file done.
bool DeleteTargets(BrowserPort& w, const std::wstring& folder, int backupMode);
// What becomes of a file about to be replaced when the backup mode keeps no copy of it.
enum class WithoutBackup { Replace, Refuse };
// The files at paths (in folder) that something is about to replace go where delete puts
// deleted pictures: the recycle bin or the backup folder. Where BackupMode keeps no copy (0,
// or the backup folder is folder itself) they are left to be replaced, or the whole step is
// refused. Fails, with the files not taken where they were, unless every one has gone.
Result PutAsideBeforeReplacing(BrowserPort& w, const std::wstring& folder,
                               const std::vector<std::wstring>& paths, WithoutBackup);
// Puts the cursor back on a file after slots were emptied.
void AfterRemoval(BrowserPort& w);
// Asks the chooser for a destination folder; on OK sets CopyDir and returns true.
bool ChooseDestination(BrowserPort& w, const wchar_t* purpose);
// A step that should have kept a copy did not: nothing is removed, and the user is told.
Result FilesKept();

} // namespace tovn
