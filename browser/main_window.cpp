#include "browser/main_window.h"
#include "picture/picture_host.h"
#include "app/dialogs.h"
#include "app/report.h"
#include "app/wait_window.h"
#include "archive/unlha.h"
#include "browser/dispatcher.h"
#include "browser/menu.h"
#include "core/command_line.h"
#include "core/slots.h"
#include "core/text.h"
#include "win/ui_font.h"
#include "app/win_text.h"
#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

namespace tovn {

namespace {
constexpr int kScrollBarWidth = 16;
} // namespace

MainWindow::MainWindow(MainWindowOptions options)
    : options_(std::move(options)), pictures_(std::make_unique<PictureHost>()),
      core_(*this, *pictures_, options_), st_(core_.State()),
      painter_(*this, core_, *pictures_, imgMain_) {}

MainWindow::~MainWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool MainWindow::InitPictures() {
    pictures_->showWaiting = [this](const std::wstring& text) { ShowWaiting(text, hwnd_); };
    pictures_->SetReductionLevel(st_.ReductionLevel);
    pictures_->SetMaxPictureSide(st_.MaxPictureSide);
    WindowDc screen(hwnd_);
    const Result loaded = pictures_->LoadPlugins(screen.get());
    if (!loaded) {
        // Fewer than 256 colours: the program ends.
        Report(hwnd_, loaded);
        ::PostQuitMessage(0);
        ::DestroyWindow(hwnd_);
        return false;
    }
    st_.PaletteDisplay = pictures_->PaletteDisplay();
    st_.LhaPluginLoaded = pictures_->LhaPluginLoaded();
    painter_.StartWorkers(options_.programDir);
    return true;
}

void MainWindow::ReleasePictures() {
    painter_.StopWorkers();
    pictures_->UnloadPlugins();
}

// On a 256-colour screen the grid is drawn against the placeholder's palette.
void MainWindow::FormPaint() {
    if (!st_.PaletteDisplay) return;
    imgMain_.SelectPalette(pictures_->PlaceholderBitmap().Palette());
}

void MainWindow::Register(HINSTANCE instance) {
    WNDCLASSW wc = {};
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    wc.hIcon = ::LoadIconW(instance, L"MAINICON");
    wc.lpszClassName = L"TfrmMain";
    Window::RegisterClass(wc);
    GridImage::Register(instance);
}

HWND MainWindow::Create(HINSTANCE instance) {
    if (!CreateHandle(0, L"TfrmMain", L"Tovane 32", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 50, 50,
                      440, 300, nullptr, instance))
        return nullptr;
    CreateControls(instance);
    FormCreate();
    if (!hwnd_) return nullptr;
    core_.BuildFileList();
    const Bounds& b = placement_.bounds;
    ::MoveWindow(hwnd_, b.left, b.top, b.width, b.height, FALSE);
    st_.FirstResize = false;
    layoutWidth_ = -1;
    ::ShowWindow(hwnd_, placement_.maximised ? SW_SHOWMAXIMIZED : options_.showCommand);
    // The first layout and page come from the resize handling once the window has its size.
    if (layoutWidth_ < 0) FormResize();
    ::UpdateWindow(hwnd_);
    return hwnd_;
}

void MainWindow::CreateControls(HINSTANCE instance) {
    imgMain_.Create(hwnd_, instance);
    sbMain_ = ::CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0,
                                kScrollBarWidth, 100, hwnd_, nullptr, instance, nullptr);
    stBar_ = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                               nullptr, instance, nullptr);
    // The status bar's height follows its font, so the file name keeps its underscores.
    canvasFont_ = UiFontShowingUnderscore(L"MS UI Gothic", -12);
    ::SendMessageW(stBar_, WM_SETFONT, reinterpret_cast<WPARAM>(canvasFont_.get()), TRUE);
    ::SetMenu(hwnd_, BuildMainMenu());
}

void MainWindow::UpdateMenuChecks() {
    HMENU bar = ::GetMenu(hwnd_);
    ::CheckMenuItem(bar, idN5, MF_BYCOMMAND | (st_.SortMode ? MF_CHECKED : MF_UNCHECKED));
    ::CheckMenuItem(bar, idN6, MF_BYCOMMAND | (st_.CaptureMode ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::FormCreate() {
    APPBARDATA bar = {};
    bar.cbSize = sizeof bar;
    int taskBarHeight = 0;
    if (::SHAppBarMessage(ABM_GETTASKBARPOS, &bar)) taskBarHeight = bar.rc.bottom - bar.rc.top;
    st_.WorkAreaHeight = ::GetSystemMetrics(SM_CYSCREEN) - taskBarHeight;

    SettingsContext c;
    c.iniPath = options_.iniPath;
    c.programDir = options_.programDir;
    c.screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    c.folderExists = FolderExists;
    c.backupFolderMissing = [this] {
        Report(hwnd_,
               Result::Error(L"ﾊﾞｯｸｱｯﾌﾟﾃﾞｨﾚｸﾄﾘがありません．ﾊﾞｯｸｱｯﾌﾟを取らないに設定しました．",
                             L"Back Up Directory Not Find."));
    };
    placement_ = LoadSettings(st_, c);
    st_.TempDir = options_.programDir + L"TEMP\\";
    core_.SetPlace(core_.FolderAt(st_.CurrentDir));
    ResetPageCells();
    if (!InitPictures()) return;
    core_.ApplyCommandLine();
}

void MainWindow::FormActivate() {
    if (st_.PaletteDisplay) FormPaint();
}

void MainWindow::FormResize() {
    if (st_.FirstResize) {
        st_.FirstResize = false;
        return;
    }
    if (st_.Closing || !hwnd_) return;
    if (!st_.FileList.empty()) {
        int slot = CursorSlot(st_);
        std::wstring name = slot >= 0 && slot < static_cast<int>(st_.FileList.size())
                                ? st_.FileList[slot].name
                                : std::wstring();
        CompactList(st_);
        PlaceCursorAt(st_, name.empty() ? -1 : FindName(st_, name));
        // Compaction moved the picks of sort mode: keep their slots in step.
        if (st_.SortList) ReindexSortList(st_);
    }
    LayoutGrid();
    ResetPageCells();
    PaintPage();
    SetCursorBand(true);
}

void MainWindow::FormClose() {
    st_.Closing = true;
    ClearTempDir(st_.TempDir);
    SaveSettings(st_, options_.iniPath, CurrentPlacement());
    st_.FileList.clear();
    st_.PageCells.clear();
    ReleasePictures();
    core_.EndCapture();
}

WindowPlacementSetting MainWindow::CurrentPlacement() const {
    WindowPlacementSetting w;
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    ::GetWindowPlacement(hwnd_, &wp);
    w.maximised = wp.showCmd == SW_SHOWMAXIMIZED || ::IsZoomed(hwnd_);
    RECT r;
    ::GetWindowRect(hwnd_, &r);
    w.bounds = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    return w;
}

void MainWindow::LayoutGrid() {
    RECT client;
    ::GetClientRect(hwnd_, &client);
    ::SendMessageW(stBar_, WM_SIZE, 0, 0);
    RECT bar;
    ::GetWindowRect(stBar_, &bar);
    int barHeight = bar.bottom - bar.top;
    int width = client.right - client.left, height = client.bottom - client.top;
    ::MoveWindow(sbMain_, width - kScrollBarWidth, 0, kScrollBarWidth, height - barHeight, TRUE);
    imgMain_.SetBounds(0, 0, width - kScrollBarWidth - 1, height - barHeight);
    layoutWidth_ = width;
    layoutHeight_ = height;
    st_.CellWidth = imgMain_.Width() / st_.DispCount;
    st_.CellHeight = imgMain_.Height() / st_.DispCount;
    SetBandsFromState();
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED && stBar_)
            FormResize();
        else if (st_.FirstResize)
            st_.FirstResize = false;
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE) FormActivate();
        break;
    case WM_PAINT:
        FormPaint();
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        if (msg == WM_SYSKEYDOWN && wp != VK_MENU && wp != VK_F10) break;
        WORD key = static_cast<WORD>(wp);
        Dispatcher(core_).KeyDown(key, CurrentShiftState(msg == WM_SYSKEYDOWN));
        return 0;
    }
    case WM_CHAR: {
        wchar_t ch = static_cast<wchar_t>(wp);
        core_.KeyPress(ch);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        core_.MouseDown(MouseButtonOf(msg), GET_X_LPARAM(lp), GET_Y_LPARAM(lp), imgMain_.Width(),
                        imgMain_.Height());
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        core_.DoubleClick();
        return 0;
    case WM_MOUSEWHEEL:
        core_.MouseWheel(GET_WHEEL_DELTA_WPARAM(wp), GET_KEYSTATE_WPARAM(wp));
        return 0;
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lp) == sbMain_) {
            SCROLLINFO si = {sizeof si, SIF_POS};
            ::GetScrollInfo(sbMain_, SB_CTL, &si);
            sbMain_Scroll(LOWORD(wp), si.nPos, HIWORD(wp));
        }
        return 0;
    case WM_COMMAND:
        if (HIWORD(wp) == 0 && lp == 0) Dispatcher(core_).Menu(LOWORD(wp));
        return 0;
    case WM_USER: // the keyboard hook's key event (capture mode)
        core_.CaptureHookMessage(wp, lp);
        return 0;
    case WM_CLOSE:
        FormClose();
        ::DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

// The scroll bar control does not move by itself: the handler sees the position it held
// before the notification, and the new position is stored after it returns.
void MainWindow::sbMain_Scroll(int code, int position, int trackPosition) {
    int maxPos = st_.FileList.empty() ? 0 : static_cast<int>(st_.FileList.size()) - 1;
    int next = position;
    switch (code) {
    case SB_LINEUP:
        next = position - 1;
        break;
    case SB_LINEDOWN:
        next = position + 1;
        break;
    case SB_PAGEUP:
        next = position - st_.CellsPerPage;
        break;
    case SB_PAGEDOWN:
        next = position + st_.CellsPerPage;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        next = trackPosition;
        break;
    case SB_TOP:
        next = 0;
        break;
    case SB_BOTTOM:
        next = maxPos;
        break;
    }
    next = next < 0 ? 0 : next > maxPos ? maxPos : next;
    core_.ScrollBarMoved(code);
    if (code != SB_ENDSCROLL) ::SetScrollPos(sbMain_, SB_CTL, next, TRUE);
}

} // namespace tovn
