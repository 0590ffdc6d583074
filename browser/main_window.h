// TfrmMain: the browser window — grid image, scroll bar, status bar and menu.
#pragma once
#include "app/settings.h"
#include "browser/browser.h"
#include "browser/grid_view.h"
#include "browser/grid_image.h"
#include "browser/prefetch.h"
#include "win/window.h"
#include "core/browser_state.h"
#include <windows.h>
#include <map>
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

    // GridView.
    HWND Handle() const override { return hwnd_; }
    bool IsOpen() const override { return hwnd_ != nullptr; }
    void Close() override { ::PostMessageW(hwnd_, WM_CLOSE, 0, 0); }
    void LayoutGrid() override;
    void ResetPageCells() override;
    // The page's decodes go to the workers at once and the cells are drawn in order as they
    // come; a key pressed meanwhile ends the paint early, and the idle loop draws the rest.
    void PaintPage() override;
    // Paints one cell from one slot, waiting for its decode; false when the cache kept the
    // cell as it was.
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

    // Into dc when given (drawn at the canvas's coordinates), else onto the canvas.
    void PaintCellFrame(int cell, HDC dc = nullptr);
    // Idle work: draws the next cell of a page whose paint a key ended early; else keeps one
    // thumbnail of the next page, then of the previous one, that the workers made, in the
    // cell store; false when they are all there (or on a palette screen, which repaints
    // every cell against the screen's palette).
    bool PrefetchStep();
    int PrefetchCount() const { return prefetchCount_; }
    const CellStore& CellPictures() const { return cellPictures_; }
    // Counts of pictures decoded by PaintCell (tests check the cache with it).
    int DecodeCount() const { return decodeCount_; }

private:
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
    void PrepareThumbnailLoad();
    void DrawThumbnail(int cell, const std::wstring& name, int32_t date);
    void DrawCellPicture(HDC dc, int cell, const std::wstring& name, const LoadedPicture& loaded);
    CellPicture RenderCell(int cell, const CellThumb& thumb);
    bool ShowStoredCell(int cell, const std::wstring& name, int32_t date);
    // The date and size of a folder file or archive entry; not found when a folder file
    // cannot be read.
    EntryStamp Stamp(const std::wstring& name);
    PlannedCell PlanCell(int cell, int slot);
    void DrawPlanned(PlannedCell& planned, bool idle);
    void ShowThumb(const PlannedCell& planned);
    bool FillCells(bool idle);
    void AbandonFill();
    ThumbRequest RequestFor(int cell, const std::wstring& name, const EntryStamp& stamp) const;
    ThumbTicketPtr TakeAhead(const std::wstring& name, int cell, int32_t date);
    void StoreAhead(const std::wstring& name, const ThumbTicket& ticket);
    bool PrefetchAhead();
    std::wstring SourceKey() const;

    MainWindowOptions options_;
    std::unique_ptr<PictureHost> pictures_;
    Browser core_;     // after the plug-ins it uses
    BrowserState& st_; // the browser's state, which the layout and the paint follow
    HWND sbMain_ = nullptr;
    HWND stBar_ = nullptr;
    GridImage imgMain_;
    UniqueFont canvasFont_;
    std::unique_ptr<ThumbWorkers> workers_; // after pictures_: they end before the plug-ins
    WindowPlacementSetting placement_;
    int decodeCount_ = 0;
    CellStore cellPictures_;
    int prefetchCount_ = 0;
    std::vector<PlannedCell> fill_;                // cells of the page still to draw
    std::map<std::wstring, ThumbTicketPtr> ahead_; // thumbnails asked for the pages around
    DWORD fillShown_ = 0;
    int layoutWidth_ = -1, layoutHeight_ = -1;
    int paintedPage_ = 1;      // the page the canvas's cells show
    bool cursorShown_ = false; // off while a command changes what lies under the cursor
};

} // namespace tovn
