// What the dialog tests share: the hook that reaches a dialog while it is modal, a scripted
// seam that records beeps and message boxes, and a scratch folder.
#pragma once
#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "app/dialogs.h"
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

// Records the seam's beeps and messages; Input and Choose are not used by these dialogs.
class RecordingDialogs : public Dialogs {
public:
    RecordingDialogs() : previous_(InstallDialogs(this)) {}
    ~RecordingDialogs() override { InstallDialogs(previous_); }
    void Beep() override { events.push_back(L"beep"); }
    int Message(HWND owner, const std::wstring& text, const std::wstring& caption,
                UINT flags) override;
    bool Input(HWND, const std::wstring&, const std::wstring&, std::wstring&) override {
        return false;
    }
    bool Choose(HWND, const ChooserRequest&, ChooserAnswer&) override { return false; }

    std::vector<std::wstring> events; // "beep" or "caption: text"
    std::vector<UINT> flags;
    std::vector<HWND> owners;

private:
    Dialogs* previous_;
};

// A fresh folder under the temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return path_; } // ends in "\"
    std::wstring MakeFile(const std::wstring& name) const;
    std::wstring MakeFolder(const std::wstring& name) const;

private:
    std::wstring path_;
};

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
