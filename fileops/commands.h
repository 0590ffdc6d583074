// The commands behind the keys of RunFileCommand, and the steps they share.
#pragma once
#include <string>

namespace tovn {

class MainWindow;

void CopyOrMove(MainWindow& w, bool move, bool openDestination);
void DeleteWithBackup(MainWindow& w);
void NumberedRename(MainWindow& w);
void RenameEach(MainWindow& w);
void NewFolder(MainWindow& w);
void InsertSpaceAtCursor(MainWindow& w);
void Duplicate(MainWindow& w);
void Pack(MainWindow& w, bool removePacked);

// Deletes the targets found in folder as backupMode says, emptying their slots first.
// True when the shell reports every file done.
bool DeleteTargets(MainWindow& w, const std::wstring& folder, int backupMode);
// Puts the cursor back on a file after slots were emptied.
void AfterRemoval(MainWindow& w);
// Asks the chooser for a destination folder; on OK sets CopyDir and returns true.
bool ChooseDestination(MainWindow& w, const wchar_t* purpose);
// A step that should have kept a copy did not: nothing is removed, and the user is told.
void ReportKeptFiles(MainWindow& w);
// Beep, then an error box with the text and caption.
void Complain(MainWindow& w, const std::wstring& text, const std::wstring& caption);

} // namespace tovn
