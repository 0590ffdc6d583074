// What the dialog tests share: the hook that reaches a dialog while it is modal, a scripted
// seam that records beeps and message boxes, and a scratch folder.
#pragma once
#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "support/scripted_dialogs.h"
#include "support/test_folder.h"
#include "app/dialogs/dlgkit.h"

namespace tovn::test {

// Runs body with the dialog's window the next time a dialog is shown, for one scope.
class OnShown {
public:
    explicit OnShown(std::function<void(HWND)> body);
    ~OnShown();
    OnShown(const OnShown&) = delete;
    OnShown& operator=(const OnShown&) = delete;
    int Calls() const { return *calls_; }

private:
    std::shared_ptr<int> calls_ = std::make_shared<int>(0);
    dlg::ShownHook previous_;
};

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
