// TfrmMcr: the 36 macros at once, a blue highlight moved with the arrow keys, a slot run
// by its key or by Enter, edited with Insert and cleared with Delete. The macro file is
// read when the window is made and written whenever it closes.
#pragma once
#include "win/window.h"
#include "win/handles.h"
#include <windows.h>
#include <string>
#include <vector>

namespace tovn {

class BrowserPort;

class TfrmMcr final : public Window {
public:
    explicit TfrmMcr(BrowserPort& browser);
    ~TfrmMcr() override;
    TfrmMcr(const TfrmMcr&) = delete;
    TfrmMcr& operator=(const TfrmMcr&) = delete;

    // Makes the window, hidden, and loads the macro file (FormCreate).
    HWND Create();
    // Shows the window over the browser until it closes: IDOK after a run, else IDCANCEL.
    int ShowModal();

    int CurrentSlot() const { return currentSlot_; }
    // The macros as the file holds them (ANSI), at least 36 entries.
    const std::vector<std::string>& MacroList() const { return macroList_; }
    // Slot s's key label ("A:") and text label (one of SlotLabels).
    HWND KeyLabel(int slot) const;
    HWND SlotLabel(int slot) const;
    COLORREF SlotColour(int slot) const { return slotColours_[slot - 1]; }
    // IDOK or IDCANCEL once the window is to close, 0 while it stays open.
    int ModalResult() const { return modalResult_; }
    std::wstring MacroFilePath() const;

    void FormKeyDown(WORD key);
    void FormKeyPress(wchar_t key);
    void PaintSlot(int slot, COLORREF colour);
    void RunMacro();

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void FormCreate();
    void FormClose();
    void CreateLabels();
    void ShowSlot(int slot);
    void MoveHighlightTo(int slot);
    void EditSlot();
    void Close(int result);
    HBRUSH LabelColours(HDC dc, HWND label);

    BrowserPort& browser_;
    UniqueFont font_;
    std::vector<std::string> macroList_;
    bool keepFile_ = false; // the file there could not be read whole: never written over
    std::vector<COLORREF> slotColours_;
    int currentSlot_ = 1;
    int modalResult_ = 0;
};

} // namespace tovn
