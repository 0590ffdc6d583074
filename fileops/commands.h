// The commands behind the keys of RunFileCommand, and the steps they share.
#pragma once
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
// Removes the files at paths, which lie in the current folder and are no targets, the way
// delete removes pictures: into the recycle bin or the backup folder as BackupMode says.
// False when a copy of any cannot be kept (BackupMode 0, the backup folder is the current
// folder, or the shell refused); the files the shell did not take stay where they were.
bool SetAsideAsDeleted(BrowserPort& w, const std::vector<std::wstring>& paths);
// Puts the cursor back on a file after slots were emptied.
void AfterRemoval(BrowserPort& w);
// Asks the chooser for a destination folder; on OK sets CopyDir and returns true.
bool ChooseDestination(BrowserPort& w, const wchar_t* purpose);
// A step that should have kept a copy did not: nothing is removed, and the user is told.
void ReportKeptFiles(BrowserPort& w);
// Beep, then an error box with the text and caption.
void Complain(BrowserPort& w, const std::wstring& text, const std::wstring& caption);

} // namespace tovn
