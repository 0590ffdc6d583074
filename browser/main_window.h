// TfrmMain: the browser window — grid image, scroll bar, status bar and menu.
#pragma once
#include "app/settings.h"
#include "browser/browser.h"
#include "browser/grid_view.h"
#include "browser/grid_image.h"
#include "browser/grid_painter.h"
#include "browser/prefetch.h"
#include "win/window.h"
#include "core/browser_state.h"
#include <windows.h>
#include <memory>
#include <string>
#include <vector>

namespace tovn {

class PictureHost;
struct LoadedPicture;

// The browser's window: plumbing of its messages, the layout of grid, scroll bar and status
// bar, and the paint of the grid. Commands live in the Browser it owns.
class MainWindow final : public Window, public GridView {
public:
    explicit MainWindow(MainWindowOptions options);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    static void Register(HINSTANCE instance);
    // Creates, shows and lays out the window (FormCreate, FormShow, first layout).
    HWND Create(HINSTANCE instance);
    HWND StatusBar() const { return stBar_; }
    HWND ScrollBar() const { return sbMain_; }
    GridImage& Image() { return imgMain_; }
    Browser& Core() { return core_; }
    const Browser& Core() const { return core_; }
    // The paint of the grid, for the tests' and benchmarks' counts.
    GridPainter& Painter() { return painter_; }
    const GridPainter& Painter() const { return painter_; }

private:
    // GridView.
    HWND BoxOwner() const override { return hwnd_; }
    bool IsOpen() const override { return hwnd_ != nullptr; }
    void Close() override { ::PostMessageW(hwnd_, WM_CLOSE, 0, 0); }
    void LayoutGrid() override;
    void ResetPageCells() override;
    void PaintPage() override;
    bool PaintCell(int cell, int slot) override;
    void PaintEmptyCell(int cell) override;
    void PaintEmptyCells() override;
    void RefreshCell(int cell) override;
    void SetBandsFromState() override;
    void RefreshBands() override;
    void SetCursorBand(bool shown) override;
    void UpdateScrollBar() override;
    void ShowCursorInScrollBar() override;
    int ScrollPosition() const override;
    void UpdateStatusBar() override;
    void UpdateMenuChecks() override;
    void RealizeDisplayPalette() override;
    void ShowWaitingText(const std::wstring& text) override;

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void CreateControls(HINSTANCE instance);
    void FormCreate();
    void FormActivate();
    void FormResize();
    void FormClose();
    void FormPaint();
    WindowPlacementSetting CurrentPlacement() const;
    bool InitPictures();
    void ReleasePictures();
    void sbMain_Scroll(int code, int position, int trackPosition);

    MainWindowOptions options_;
    std::unique_ptr<PictureHost> pictures_;
    Browser core_;     // after the plug-ins it uses
    BrowserState& st_; // the browser's state, which the layout and the paint follow
    HWND sbMain_ = nullptr;
    HWND stBar_ = nullptr;
    GridImage imgMain_;
    UniqueFont canvasFont_;
    GridPainter painter_; // after pictures_: its workers end before the plug-ins
    WindowPlacementSetting placement_;
    int layoutWidth_ = -1, layoutHeight_ = -1;
    bool cursorShown_ = false; // off while a command changes what lies under the cursor
};

} // namespace tovn
