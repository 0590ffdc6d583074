// TfrmPsbat, "Make 01PSS.BAT": 20 stored sets of editor settings, applied to the open editor
// or stored from it, and the outside tools' batch files rewritten from an applied set.
#pragma once
#include "win/handles.h"
#include "win/window.h"
#include "edit/edit_logic.h"
#include <windows.h>
#include <optional>
#include <string>
#include <vector>

namespace tovn {

// What the part-save window uses of the editor that opened it.
class PartSaveEditor {
public:
    virtual EditSettings& Settings() = 0;
    virtual void DrawSwatches() = 0;

protected:
    ~PartSaveEditor() = default;
};

// The folder of the outside tools' batch files.
inline const wchar_t kToolFolder[] = L"A:\\TOOL\\GRAPH\\";

struct PartSavePlaces {
    std::wstring psPath;                   // the ".PS" file beside the program
    std::wstring toolFolder = kToolFolder; // where 01PSS.BAT and 10PSS256.BAT are rewritten
    std::wstring backupDir;                // the browser's BackupDir
};

// The ".PS" file beside the program whose settings file is iniPath.
std::wstring PartSavePathFor(const std::wstring& iniPath);

class TfrmPsbat final : public Window {
public:
    TfrmPsbat(HWND owner, PartSaveEditor& editor, PartSavePlaces places);
    ~TfrmPsbat() override;
    TfrmPsbat(const TfrmPsbat&) = delete;
    TfrmPsbat& operator=(const TfrmPsbat&) = delete;

    // Makes the window (FormCreate); false when it cannot be made.
    bool Create();
    // Runs the window modally; IDOK when settings were applied or stored.
    int ShowModal();

    void FormKeyDown(WORD key, unsigned shift);
    void FormClose();

    HWND Label(int entry) const { return labels_[static_cast<size_t>(entry)]; }
    int CurrentEntry() const { return current_; }
    const std::vector<std::string>& PartSaveList() const { return list_; }
    bool Closed() const { return done_; }
    int ModalResult() const { return result_; }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void Highlight(int entry);
    void ShowEntry(int entry);
    void Apply();
    void Store();
    void EditEntry();
    bool ApplyEntry(const std::string& entry);
    bool RewriteBatch(const wchar_t* name, const std::optional<std::vector<std::wstring>>& lines);
    void CloseWith(int result);

    HWND owner_;
    PartSaveEditor& editor_;
    PartSavePlaces places_;
    std::vector<HWND> labels_;
    std::vector<std::string> list_;
    int current_ = 0;
    bool done_ = false;
    bool unreadable_ = false; // the list file exists but could not be read
    int result_ = IDCANCEL;
    UniqueFont font_;
    UniqueBrush black_;
    UniqueBrush blue_;
};

} // namespace tovn
