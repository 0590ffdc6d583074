// What the dialog tests share: the hook that reaches a dialog while it is modal, a scripted
// seam that records beeps and message boxes, and a scratch folder.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "support/on_shown.h"
#include "support/scripted_dialogs.h"
#include "support/test_folder.h"
#include "app/dialogs/dlgkit.h"

namespace tovn::test {

// The seam's beeps and messages in order, and scratch folders.
using RecordingDialogs = ScriptedDialogs;
using ScratchFolder = TestFolder;

void Click(HWND dialog, int id);
std::wstring Text(HWND dialog, int id);
void SetText(HWND dialog, int id, const std::wstring& text);
bool IsOpen(HWND dialog);
int FocusedId(HWND dialog);
// Ids of the controls Tab visits from the focused one, until it comes back.
std::vector<int> TabOrder(HWND dialog);
// Items of a list box or combo box.
std::vector<std::wstring> ListItems(HWND list, bool combo);
// Lets a person look at (or screenshot) the dialog when TOVN_DIALOG_PAUSE_MS is set.
void PauseForLook();

} // namespace tovn::test
