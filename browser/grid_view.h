// What the browser asks of the screen: the grid's layout, its cells, the bands over them,
// the scroll bar, the status bar and the menu's check marks. The main window implements it.
#pragma once
#include <windows.h>
#include <string>

namespace tovn {

class GridView {
public:
    // The window that owns message boxes and the modal windows a command opens.
    virtual HWND BoxOwner() const = 0;
    // False before the window is made and once it is gone: no command runs then.
    virtual bool IsOpen() const = 0;
    // The window closes as the user's close does (settings written, then it goes).
    virtual void Close() = 0;
    // Cell geometry from the window's size and the display count.
    virtual void LayoutGrid() = 0;
    // Every cell of the page decodes again at its next paint.
    virtual void ResetPageCells() = 0;
    // The current page, cell by cell; the scroll bar and the status bar come with it.
    virtual void PaintPage() = 0;
    // One cell from one slot; false when the cell was kept as it was.
    virtual bool PaintCell(int cell, int slot) = 0;
    virtual void PaintEmptyCell(int cell) = 0;
    // The grey cells of the page's emptied slots.
    virtual void PaintEmptyCells() = 0;
    // The cell's rectangle (or, for 0, the whole grid) copied to the screen.
    virtual void RefreshCell(int cell) = 0;
    // The bands follow the state; changed ones reach the screen with the next refresh, or
    // at once with RefreshBands.
    virtual void SetBandsFromState() = 0;
    virtual void RefreshBands() = 0;
    // Shows or hides the cursor band; hiding it twice leaves it hidden.
    virtual void SetCursorBand(bool shown) = 0;
    virtual void UpdateScrollBar() = 0;
    // The scroll bar's thumb on the cursor's slot.
    virtual void ShowCursorInScrollBar() = 0;
    virtual int ScrollPosition() const = 0;
    virtual void UpdateStatusBar() = 0;
    virtual void UpdateMenuChecks() = 0;
    // The waiting window shows text, or, for an empty text, goes and gives the focus back.
    virtual void ShowWaitingText(const std::wstring& text) = 0;
    // The grid's palette realised again (after a window with its own palette closes).
    virtual void RealizeDisplayPalette() = 0;

protected:
    ~GridView() = default;
};

} // namespace tovn
