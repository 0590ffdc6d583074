// TfrmMain: the browser window — grid image, scroll bar, status bar and menu — and the
// handlers every command runs through.
#pragma once
#include "app/settings.h"
#include "browser/browser_port.h"
#include "browser/grid_image.h"
#include "browser/prefetch.h"
#include "win/window.h"
#include "capture/capture.h"
#include "place/place.h"
#include "core/browser_state.h"
#include <windows.h>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tovn {

class PictureHost;
struct ChooserAnswer;
struct PictureSource;
struct LoadedPicture;

struct MainWindowOptions {
    std::wstring iniPath;    // the settings file
    std::wstring programDir; // ends in "\"; default folder and TEMP\ parent
    std::vector<std::wstring> args;
    int showCommand = SW_SHOWNORMAL;
};

class MainWindow final : public Window, public BrowserPort {
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
    // BrowserPort.
    HWND Owner() const override { return hwnd_; }
    BrowserState& State() override { return st_; }
    const BrowserState& State() const override { return st_; }
    PictureHost& Pictures() override { return *pictures_; }
    PictureSource Source() const override;
    Place& CurrentPlace() override { return *place_; }
    std::wstring PluginMask() const override;
    const std::wstring& ProgramDir() const override { return options_.programDir; }
    const std::wstring& IniPath() const override { return options_.iniPath; }
    TargetList CollectTargets() override;
    bool CheckSlotFile(int index) override;
    void GoToCell(int page, int cell, bool mayLeavePage) override;
    void MoveCursorToSlot(int slot) override;
    void ToggleSlotMark(int slot) override;
    void SetCursorBand(bool shown) override;
    void Redraw(unsigned parts) override;
    void PaintSlot(int slot) override;
    void RealizeDisplayPalette() override;
    bool ArchiveStillThere() override;
    void LeaveArchiveMode() override;
    void ShowFolder(const std::wstring& folder, int count) override;
    // The one writer of the state's place: CurrentDir, LhaMode and ArchiveName follow it.
    void SetPlace(std::unique_ptr<Place> place);
    // The folder, or the archive name in folder, as a place whose steps this window owns.
    std::unique_ptr<Place> FolderAt(const std::wstring& folder) const;
    std::unique_ptr<Place> ArchiveAt(const std::wstring& folder, const std::wstring& name) const;

    // Hook that runs after each key command (tests and the capture code observe it).
    std::function<void(WORD)> afterKey;

    // Event handlers.
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormResize();
    void FormClose();
    void FormPaint();
    void FormKeyDown(WORD& key, unsigned shift);
    void FormKeyPress(wchar_t& key);
    void imgMainMouseDown(int button, unsigned shift, int x, int y);
    void imgMainDblClick();
    // A turn of the mouse wheel: delta in the wheel's units, buttons as MK_SHIFT, MK_CONTROL.
    void MouseWheel(int delta, unsigned buttons);
    void sbMainScroll(int code, int position);

    // Grid state operations.
    void LayoutGrid();
    void ResetPageCells();
    // The grid's bands follow the state: the marks of the painted page and the cursor band
    // when shown; changed bands reach the screen at once.
    void RefreshBands();
    // Into dc when given (drawn at the canvas's coordinates), else onto the canvas.
    void PaintCellFrame(int cell, HDC dc = nullptr);
    void PaintEmptyCell(int cell);
    void UpdateStatusBar();
    void UpdateScrollBar();
    void GoToPreviousCell(int page, int cell);
    bool MoveRowUp();
    bool MoveRowDown();
    void SetDispCount(int n);
    // The count change that keeps the cursor on its file (empty slots are removed).
    void ApplyDispCount(int n);
    // Back to the folder's own list on its first page (archive mode left).
    void ReturnToFolderList();
    // Home: every file marked, or every mark cleared when some file is marked.
    void MarkAll();
    // The mode items' check marks as the state's sort and capture modes say.
    void UpdateMenuChecks();

    // File list.
    void BuildFileList();

    // Painting. The page's decodes go to the workers at once and the cells are drawn in
    // order as they come; a key pressed meanwhile ends the paint early, and the idle loop
    // draws the rest.
    void PaintPage();
    // Paints one cell from one slot, waiting for its decode; false when the cache kept the
    // cell as it was.
    bool PaintCell(int cell, int slot);
    void PaintEmptyCells();

    // Idle work: draws the next cell of a page whose paint a key ended early; else keeps one
    // thumbnail of the next page, then of the previous one, that the workers made, in the
    // cell store; false when they are all there (or on a palette screen, which repaints
    // every cell against the screen's palette).
    bool PrefetchStep();
    int PrefetchCount() const { return prefetchCount_; }
    const CellStore& CellPictures() const { return cellPictures_; }

    // Counts of pictures decoded by PaintCell (tests check the cache with it).
    int DecodeCount() const { return decodeCount_; }
    const MainWindowOptions& Options() const { return options_; }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void CreateControls(HINSTANCE instance);
    void CreateMenuBar();
    void OnCommand(int id);
    void ApplyCommandLine();
    // Shows place from its first page, count x count cells a page.
    void ShowPlace(std::unique_ptr<Place> place, int count);
    void SettleCursor(int slot);
    void RebuildFromScratch();
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
    // The bands of the state, marked for the next refresh of the grid.
    void SetBandsFromState();

    // Command handlers (run from the command table).
    friend struct CommandRows;
    void PageUp(bool toFirst);
    void PageDown(bool toLast);
    void ViewCursorFile();
    void SlideShow();
    bool EditCursorFile();
    bool PageJump();
    void ToggleCursorMark();
    void ReRead(bool resetCache);
    void ChangeFolder();
    bool RunChooser(const wchar_t* purpose, ChooserAnswer& answer);
    bool ArchiveLibrariesReady();
    bool IsUsableArchive(const std::wstring& path);
    void OpenArchive();
    void AskQuit();
    void K1Click();
    void O1Click();
    void Help2Click();

    MainWindowOptions options_;
    BrowserState st_;
    HWND sbMain_ = nullptr;
    HWND stBar_ = nullptr;
    GridImage imgMain_;
    UniqueFont canvasFont_;
    std::unique_ptr<Place> place_;
    std::unique_ptr<PictureHost> pictures_;
    std::unique_ptr<ThumbWorkers> workers_; // after pictures_: they end before the plug-ins
    WindowPlacementSetting placement_;
    int decodeCount_ = 0;
    CellStore cellPictures_;
    int prefetchCount_ = 0;
    std::vector<PlannedCell> fill_;                // cells of the page still to draw
    std::map<std::wstring, ThumbTicketPtr> ahead_; // thumbnails asked for the pages around
    DWORD fillShown_ = 0;
    int layoutWidth_ = -1, layoutHeight_ = -1;
    int wheelRest_ = 0; // wheel turn not yet a whole notch
    // Capture mode (menu N6): made on first use, its hook removed when the window closes.
    std::unique_ptr<Capture> capture_;

    int paintedPage_ = 1;      // the page the canvas's cells show
    bool cursorShown_ = false; // off while a command changes what lies under the cursor
};

// The window that commands return the focus to and that owns message boxes.
MainWindow* frmMain();
void ClearMainWindow();
void SetMainWindow(MainWindow* w);

} // namespace tovn
