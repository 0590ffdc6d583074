// What a command or a modal window may use of the browser: its state, the targets, the
// cursor, the redraw of what changed, the archive check and the owner window. Commands and
// windows take this instead of the main window, so each can be built and tested alone.
#pragma once
#include "app/win_text.h"
#include "core/browser_state.h"
#include <windows.h>
#include <string>

namespace tovn {

class PictureHost;
class Place;
struct SlotChanges;
struct PictureSource;

// The parts of the browser's screen a change leaves stale. Redraw brings them back in one
// fixed order: list, layout, cache, page, empty cells, scroll bar, status bar.
enum RedrawPart : unsigned {
    rdList = 1u << 0,       // file list built again; the cursor stays on its file
    rdLayout = 1u << 1,     // grid geometry (count or window size changed)
    rdCache = 1u << 2,      // every cell decodes again
    rdCells = 1u << 3,      // the page (cells the cache holds are kept)
    rdEmptyCells = 1u << 4, // the grey cells of emptied slots
    rdScrollBar = 1u << 5,
    rdStatusBar = 1u << 6,
};

class BrowserPort {
public:
    // The window that owns message boxes and the modal windows a command opens.
    virtual HWND Owner() const = 0;
    virtual const BrowserState& State() const = 0;
    // The options in memory, which a command may change for the next time.
    virtual BrowserOptions& Options() = 0;
    virtual PictureHost& Pictures() = 0;
    // Where the picture loader finds a bare name (folder, or archive in archive mode).
    virtual PictureSource Source() const = 0;
    // Where the files shown live: the folder, or the open archive.
    virtual Place& CurrentPlace() = 0;
    // The program's folder (ends in "\"): settings, macro and part-save files, batch files.
    virtual const std::wstring& ProgramDir() const = 0;
    // The settings file.
    virtual const std::wstring& IniPath() const = 0;

    // The marked files, or the cursor file when none is marked; their marks and bands are
    // cleared.
    virtual TargetList CollectTargets() = 0;
    // True when slot holds a file that still exists (folder or archive); a vanished file's
    // slot is emptied and its cell greyed.
    virtual bool CheckSlotFile(int slot) = 0;

    // Cursor moves; the page changes and is painted when the target lies on another page.
    virtual void GoToCell(int page, int cell, bool mayLeavePage) = 0;
    virtual void MoveCursorToSlot(int slot) = 0;
    // The cursor on slot without turning the page on the screen (the grid keeps showing the
    // page it shows until a redraw).
    virtual void PlaceCursor(int slot) = 0;
    // A change of the slot list; returns how many slots it inserted or added. The screen
    // follows with the redraw the command asks for.
    virtual int ApplySlots(const SlotChanges& change) = 0;
    // Capture mode on or off (the keyboard hook is the command's).
    virtual void SetCaptureMode(bool on) = 0;
    // Marks slot, or takes its mark off; the grid shows its band when the cell is on the page.
    virtual void SetMark(int slot, bool marked) = 0;
    // Shows or hides the cursor band; hiding it twice leaves it hidden.
    virtual void SetCursorBand(bool shown) = 0;

    virtual void Redraw(unsigned parts) = 0;
    // Paints the cell of slot when it is on the current page.
    virtual void PaintSlot(int slot) = 0;
    // The grid's palette realised again (after a window with its own palette closes).
    virtual void RealizeDisplayPalette() = 0;

    // Archive mode: false (and the browser back on the folder) when the archive vanished.
    virtual bool ArchiveStillThere() = 0;
    // The archive vanished: the user is told and the browser shows its folder again.
    virtual void LeaveArchiveMode() = 0;
    // Shows folder (ends in "\") from its first page, count x count cells a page.
    virtual void ShowFolder(const std::wstring& folder, int count) = 0;

protected:
    ~BrowserPort() = default;
};

} // namespace tovn
