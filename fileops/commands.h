// The file commands of the browser (their keys are rows of browser/command_table.cpp),
// and the steps they share.
#pragma once
#include "app/result.h"
#include "core/browser_state.h"
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
// The menu command "BMP ｺﾝﾊﾞｰﾄ": the marked pictures, or the cursor picture. Run by the
// command table, which refuses it first on an empty list and in sort or capture mode and
// keeps the cursor band off around it.
void ConvertBMP1Click(BrowserPort& w);

// Puts the cursor back on a file after slots were emptied.
void AfterRemoval(BrowserPort& w);
// Asks the chooser for a destination folder; on OK sets CopyDir and returns true.
bool ChooseDestination(BrowserPort& w, const wchar_t* purpose);

} // namespace tovn
