// TfrmMain: the browser window — grid image, scroll bar, status bar and menu — and the
// handlers every command runs through.
#pragma once
#include "app/settings.h"
#include "browser/browser_port.h"
#include "browser/grid_image.h"
#include "browser/prefetch.h"
#include "win/window.h"
#include "capture/capture.h"
#include "core/browser_state.h"
#include <windows.h>
#include <functional>
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
    std::wstring ArchivePath() const override { return st_.CurrentDir + st_.ArchiveName; }
    std::wstring PluginMask() const override;
    const std::wstring& ProgramDir() const override { return options_.programDir; }
    const std::wstring& IniPath() const override { return options_.iniPath; }
    bool CollectTargets() override { return CollectTargetsOnScreen(); }
    bool CheckSlotFile(int index) override;
    void GoToCell(int page, int cell, bool mayLeavePage) override;
    void MoveCursorToSlot(int slot) override;
    void ToggleSlotMark(int slot) override;
    void ToggleCursor() override;
    void Redraw(unsigned parts) override;
    void PaintSlot(int slot) override;
    void RealizeDisplayPalette() override;
    bool ArchiveStillThere() override;
    void LeaveArchiveMode() override;
    void ShowFolder(const std::wstring& folder, int count, bool lhaMode) override;

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
    void ToggleMark(int cell);
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
    bool CollectTargetsOnScreen();
    // Home: every file marked, or every mark cleared when some file is marked.
    void MarkAll();
    // The mark band of slot flipped when its cell is on the page.
    void ToggleMarkIfShown(int slot);
    // The mode items' check marks as the state's sort and capture modes say.
    void UpdateMenuChecks();

    // File list.
    void BuildFileList();
    void BuildArchiveFileList();

    // Painting.
    void PaintPage();
    // Paints one cell from one slot; false when the cache kept the cell as it was.
    bool PaintCell(int cell, int slot);
    void PaintEmptyCells();

    // Idle work: decodes one thumbnail of the next page, then of the previous one, into the
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
    void SettleCursor(int slot);
    void RebuildFromScratch();
    WindowPlacementSetting CurrentPlacement() const;
    bool InitPictures();
    void ReleasePictures();
    void sbMain_Scroll(int code, int position, int trackPosition);
    void PrepareThumbnailLoad();
    void DrawThumbnail(int cell, const std::wstring& name, int32_t date);
    void DrawCellPicture(HDC dc, int cell, const std::wstring& name, const LoadedPicture& loaded);
    CellPicture RenderCell(int cell, const std::wstring& name, const LoadedPicture& loaded);
    bool ShowStoredCell(int cell, const std::wstring& name, int32_t date);
    // The packed DOS date of a folder file or archive entry; found is false when a folder
    // file cannot be read.
    int32_t EntryDate(const std::wstring& name, bool& found);
    std::wstring SourceKey() const;

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
    std::unique_ptr<PictureHost> pictures_;
    WindowPlacementSetting placement_;
    int decodeCount_ = 0;
    CellStore cellPictures_;
    int prefetchCount_ = 0;
    int layoutWidth_ = -1, layoutHeight_ = -1;
    int wheelRest_ = 0; // wheel turn not yet a whole notch
    // Capture mode (menu N6): made on first use, its hook removed when the window closes.
    std::unique_ptr<Capture> capture_;
};

// The window that commands return the focus to and that owns message boxes.
MainWindow* frmMain();
void ClearMainWindow();
void SetMainWindow(MainWindow* w);

} // namespace tovn
