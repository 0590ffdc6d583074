// The browser: the state and place shown, the cursor, the file list, the display count and
// the handlers of the browser's own commands. It draws nothing itself: what the screen must
// show it asks of its GridView. Commands and modal windows reach it as a BrowserPort.
#pragma once
#include "app/win_text.h"
#include "browser/browser_port.h"
#include "browser/grid_view.h"
#include "capture/capture.h"
#include "core/browser_state.h"
#include "place/place.h"
#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tovn {

class PictureHost;
struct ChooserAnswer;

struct MainWindowOptions {
    std::wstring iniPath;    // the settings file
    std::wstring programDir; // ends in "\"; default folder and TEMP\ parent
    std::vector<std::wstring> args;
    int showCommand = SW_SHOWNORMAL;
};

class Browser final : public BrowserPort {
public:
    Browser(GridView& view, PictureHost& pictures, const MainWindowOptions& options);
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;
    ~Browser();

    // BrowserPort.
    HWND Owner() const override { return view_.BoxOwner(); }
    const BrowserState& State() const override { return st_; }
    BrowserOptions& Options() override { return st_; }
    // The browser's own parts (window, sort mode, tests) change the state itself.
    BrowserState& State() { return st_; }
    PictureHost& Pictures() override { return pictures_; }
    PictureSource Source() const override;
    // The extensions of the pictures the plug-ins read ("*.MAG;*.PI;...").
    std::wstring PluginMask() const;
    const std::wstring& ProgramDir() const override { return options_.programDir; }
    const std::wstring& IniPath() const override { return options_.iniPath; }
    Place& CurrentPlace() override { return *place_; }
    TargetList CollectTargets() override;
    bool CheckSlotFile(int index) override;
    void GoToCell(int page, int cell, bool mayLeavePage) override;
    void MoveCursorToSlot(int slot) override;
    void PlaceCursor(int slot) override;
    int ApplySlots(const SlotChanges& change) override;
    void SetCaptureMode(bool on) override { st_.CaptureMode = on; }
    void SetMark(int slot, bool marked) override;
    void SetCursorBand(bool shown) override { view_.SetCursorBand(shown); }
    void Redraw(unsigned parts) override;
    void PaintSlot(int slot) override;
    void RealizeDisplayPalette() override { view_.RealizeDisplayPalette(); }
    bool ArchiveStillThere() override;
    void LeaveArchiveMode() override;
    void ShowFolder(const std::wstring& folder, int count) override;

    // The screen the browser's changes are shown on.
    GridView& View() { return view_; }

    // Runs after each key command (tests and the capture code observe it).
    std::function<void(WORD)> afterKey;
    // Makes the place of a folder the browser goes to; unset, the folder on disk. Tests give
    // folders held in memory.
    std::function<std::unique_ptr<Place>(const std::wstring& folder)> folderPlace;

    // The one writer of the state's place: CurrentDir, LhaMode and ArchiveName follow it.
    void SetPlace(std::unique_ptr<Place> place);
    // The folder, or the archive name in folder, as a place whose steps the window owns.
    std::unique_ptr<Place> FolderAt(const std::wstring& folder) const;
    std::unique_ptr<Place> ArchiveAt(const std::wstring& folder, const std::wstring& name) const;
    // The folder or archive of the command line, once the settings are read.
    void ApplyCommandLine();
    void BuildFileList();

    // Input that is not a key.
    void MouseDown(int button, int x, int y, int gridWidth, int gridHeight);
    void DoubleClick();
    // A turn of the mouse wheel: delta in the wheel's units, buttons as MK_SHIFT, MK_CONTROL.
    void MouseWheel(int delta, unsigned buttons);
    // The scroll bar moved to position by code.
    void ScrollBarMoved(int code);
    // Ctrl+D, E, S and X as the arrow keys.
    void KeyPress(wchar_t& key);
    // The window closes: the capture hook goes first.
    void EndCapture() { capture_.reset(); }

    // Handlers of the command table's rows.
    void PageUp(bool toFirst);
    void PageDown(bool toLast);
    void GoToPreviousCell(int page, int cell);
    bool MoveRowUp();
    bool MoveRowDown();
    void SetDispCount(int n);
    // The count change that keeps the cursor on its file (empty slots are removed).
    void ApplyDispCount(int n);
    // Home: every file marked, or every mark cleared when some file is marked.
    void MarkAll();
    void ViewCursorFile();
    void SlideShow();
    bool EditCursorFile();
    bool PageJump();
    void ToggleCursorMark();
    void ReRead(bool resetCache);
    void ChangeFolder();
    void OpenArchive();
    void AskQuit();
    void K1Click();
    void O1Click();
    void Help2Click();
    void N6Click();
    // The keyboard hook's key event (capture mode).
    void CaptureHookMessage(WPARAM wp, LPARAM lp);

private:
    void SettleCursor(int slot);
    void RebuildFromScratch();
    // Back to the folder's own list on its first page (archive mode left).
    void ReturnToFolderList();
    void ShowPlace(std::unique_ptr<Place> place, int count);
    bool RunChooser(const wchar_t* purpose, ChooserAnswer& answer);
    bool ArchiveLibrariesReady();
    bool IsUsableArchive(const std::wstring& path);
    Capture& CaptureOf();

    GridView& view_;
    PictureHost& pictures_;
    const MainWindowOptions& options_;
    BrowserState st_;
    std::unique_ptr<Place> place_;
    int wheelRest_ = 0; // wheel turn not yet a whole notch
    // Capture mode (menu N6): made on first use, its hook removed when the window closes.
    std::unique_ptr<Capture> capture_;
};

} // namespace tovn
