// The key handler every command runs through: navigation in every mode, then the command
// of the current mode.
#include "app/dialogs.h"
#include "app/wait_window.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/main_window.h"
#include "browser/menu.h"
#include "app/dialogs/option.h"
#include "win/handles.h"
#include "picture/convert_bmp.h"
#include "picture/picture_host.h"
#include "slide/slide_window.h"
#include "fileops/file_commands.h"
#include "editor/edit_window.h"
#include "macro/macro_command.h"
#include "core/slots.h"
#include "core/sort_mode.h"
#include "core/text.h"

namespace tovn {

bool MainWindow::Refuse() {
    CurrentDialogs().Beep();
    return true;
}

void MainWindow::FormKeyDown(WORD& key, unsigned shift) {
    if (!hwnd_) return;
    SetCursorBand(false);
    if (!NavigationStage(key, shift)) {
        if (st_.CaptureMode) {
        } else if (st_.SortMode) {
            SortStage(key, shift);
        } else {
            CommandStage(key, shift);
        }
    }
    if (!hwnd_ || st_.Closing) return;
    ShowWaiting(L"", hwnd_);
    SetCursorBand(true);
    if (afterKey) afterKey(key);
}

void MainWindow::FormKeyPress(wchar_t& key) {
    WORD arrow = 0;
    switch (key) {
    case 4:
        arrow = VK_RIGHT;
        break;
    case 5:
        arrow = VK_UP;
        break;
    case 19:
        arrow = VK_LEFT;
        break;
    case 24:
        arrow = VK_DOWN;
        break;
    default:
        return;
    }
    key = 0;
    ::PostMessageW(hwnd_, WM_KEYDOWN, arrow, 0);
}

// Table A. Returns true when the call ends here.
bool MainWindow::NavigationStage(WORD key, unsigned shift) {
    const bool isShift = shift & ssShift;
    const bool navigationKey = key == VK_RETURN || key == VK_PRIOR || key == VK_NEXT ||
                               key == VK_LEFT || key == VK_RIGHT || key == VK_UP ||
                               key == VK_DOWN || key == 'J';
    if (!navigationKey) return false;
    if (st_.FileList.empty() && !(key == VK_RETURN && isShift) && key != VK_UP && key != VK_DOWN)
        return Refuse();
    switch (key) {
    case VK_RETURN:
        if (isShift) return false;
        ViewCursorFile();
        return true;
    case VK_PRIOR:
        GoToCell(isShift ? 1 : st_.CurrentPage - 1, 0, true);
        return false;
    case VK_NEXT:
        if (isShift) {
            GoToCell(st_.PageCount, 0, true);
            return false;
        }
        if (st_.CurrentPage == st_.PageCount) {
            ::SetScrollPos(sbMain_, SB_CTL, CursorSlot(st_), TRUE);
            return true;
        }
        GoToCell(st_.CurrentPage + 1, 0, true);
        return false;
    case VK_LEFT:
        GoToPreviousCell(st_.CurrentPage, st_.CursorCell);
        return false;
    case VK_RIGHT:
        GoToCell(st_.CurrentPage, st_.CursorCell, true);
        return false;
    case VK_UP:
        if (st_.FileList.empty()) return true;
        return !MoveRowUp();
    case VK_DOWN:
        if (st_.FileList.empty()) return true;
        return !MoveRowDown();
    case 'J':
        return !PageJump();
    }
    return false;
}

void MainWindow::ViewCursorFile() {
    if (!ArchiveStillThere()) return;
    int slot = CursorSlot(st_);
    if (!CheckSlotFile(slot)) {
        CurrentDialogs().Beep();
        return;
    }
    st_.DialogParam = st_.SortMode ? L"Sort" : L"Hyouzi";
    st_.TargetList.assign(1, NamedIndex{st_.FileList[slot].name, slot});
    ShowSlide(*this);
    RealizeDisplayPalette();
    st_.TargetList.clear();
}

// Returns false when the call ends (cancel or error).
bool MainWindow::PageJump() {
    std::wstring text = std::to_wstring(st_.CurrentPage);
    if (!CurrentDialogs().Input(hwnd_, L"Page Jump", L"ページを入力して下さい．", text))
        return false;
    long long n = 0;
    if (!ParseInteger(text, n)) {
        CurrentDialogs().Beep();
        CurrentDialogs().Message(hwnd_, L"数値で入力して下さい．", L"Input Error", MB_OK);
        return false;
    }
    if (n >= 1 && n <= st_.PageCount && n != st_.CurrentPage)
        GoToCell(static_cast<int>(n), 0, true);
    return true;
}

namespace {
int DigitOf(WORD key) {
    if (key >= '0' && key <= '9') return key - '0';
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return key - VK_NUMPAD0;
    return -1;
}
} // namespace

// Table B: normal and archive mode.
void MainWindow::CommandStage(WORD key, unsigned shift) {
    const bool empty = st_.FileList.empty();
    const bool isShift = shift & ssShift, isCtrl = shift & ssCtrl;
    int digit = DigitOf(key);
    if (digit >= 0) {
        int d = digit == 0 ? 10 : digit;
        if (isShift)
            SetDispCount(10 + d);
        else if (isCtrl)
            SetDispCount(20 + d);
        else
            SetDispCount(d);
        return;
    }
    switch (key) {
    case VK_RETURN: // with Shift: the slide show
        if (empty)
            Refuse();
        else if (ArchiveStillThere())
            SlideShow();
        return;
    case VK_MENU: // the macro window
        if (ArchiveStillThere()) MacroCommand(*this);
        return;
    case VK_ESCAPE:
        AskQuit();
        return;
    case VK_SPACE:
        if (empty)
            Refuse();
        else
            ToggleCursorMark();
        return;
    case VK_HOME:
        if (empty)
            Refuse();
        else
            MarkAll();
        return;
    case VK_DELETE:
        StartSortByKey();
        return;
    case 'F':
        CurrentDialogs().Beep();
        st_.SlideFullSize = !st_.SlideFullSize;
        return;
    case 'H':
    case 'L':
        ChangeFolder();
        return;
    case 'O':
        OpenArchive();
        return;
    case 'Q':
        ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return;
    case 'S':
        if (!isCtrl) ReRead(isShift);
        return;
    case 'C':
    case 'U':
    case 'D':
    case 'M':
    case 'N':
    case 'Z':
    case 'P':
    case 'I':
    case 'K':
        RunFileCommand(*this, key, shift);
        return;
    case 'E':
        if (!isCtrl) EditCursorFile();
        return;
    }
}

// Marks every file from the cursor on when nothing is marked, and takes the marked files
// as the show's targets; they stay in TargetList until the next command.
void MainWindow::SlideShow() {
    if (!CollectTargets()) {
        for (int i = CursorSlot(st_); i < static_cast<int>(st_.FileList.size()); ++i) {
            if (st_.FileList[i].name.empty()) continue;
            st_.FileList[i].mark = 1;
        }
        RefreshBands();
        CollectTargets();
    }
    st_.DialogParam = L"Slide";
    ShowSlide(*this);
    RealizeDisplayPalette();
}

namespace {

// Bits per pixel of a BMP file's information header; 0 when it cannot be read.
int BmpBitCount(const std::wstring& path) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    BYTE header[54] = {};
    DWORD got = 0;
    if (!file || !::ReadFile(file.get(), header, sizeof header, &got, nullptr) || got != 54)
        return 0;
    return header[28] | (header[29] << 8);
}

} // namespace

// The checks of the edit command, then the editor.
bool MainWindow::EditCursorFile() {
    if (!ArchiveStillThere()) return false;
    int slot = CursorSlot(st_);
    if (!CheckSlotFile(slot)) return false;
    const std::wstring& name = st_.FileList[slot].name;
    const bool bmp = UpperExtension(name) == L".BMP";
    auto refuse = [this](const wchar_t* text, const wchar_t* caption) {
        CurrentDialogs().Beep();
        CurrentDialogs().Message(hwnd_, text, caption, MB_OK);
        return false;
    };
    const wchar_t* onlyPalette = L"この環境では256色以下の画像しか使えません．";
    PictureInfo info{};
    if (st_.PaletteDisplay) {
        if (bmp) {
            int bits = BmpBitCount(st_.CurrentDir + name);
            if (bits < 1 || bits > 8) return refuse(onlyPalette, L"Can not Use Edit");
        } else {
            if (!pictures_->QueryPictureInfo(name, Source(), info))
                return refuse(L"このファイルは扱えません．", L"Can not Edit");
            if (info.colorDepth < 1 || info.colorDepth > 8)
                return refuse(onlyPalette, L"Can not Edit");
        }
    } else if (!bmp && !pictures_->QueryPictureInfo(name, Source(), info)) {
        return refuse(L"このファイルは扱えません．", L"Can not Use Edit");
    }
    return RunEditor(*this);
}

void MainWindow::SortStage(WORD key, unsigned) {
    switch (key) {
    case VK_ESCAPE:
        EndSortMode();
        return;
    case VK_HOME:
        SortHome();
        return;
    case VK_INSERT:
        ApplySort();
        return;
    case VK_DELETE:
        SortPick();
        return;
    }
}

void MainWindow::StartSortByKey() {
    st_.SortList.emplace();
    bool anyMark = false;
    for (const Slot& s : st_.FileList) anyMark = anyMark || s.mark == 1;
    if (anyMark) MarkAll();
    SetSortMode(true);
    if (!st_.FileList.empty()) SortPick(); // an empty list has nothing to pick
    UpdateStatusBar();
}

void MainWindow::SetSortMode(bool on) {
    st_.SortMode = on;
    ::CheckMenuItem(::GetMenu(hwnd_), idN5, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    if (!on) st_.SortList.reset();
}

void MainWindow::SortPick() {
    int slot = CursorSlot(st_);
    if (st_.FileList.empty() || slot < 0 || slot >= static_cast<int>(st_.FileList.size())) {
        CurrentDialogs().Beep();
        return;
    }
    Slot& s = st_.FileList[slot];
    if (s.mark == 0) {
        s.mark = 1;
        st_.SortList->push_back({s.name, slot});
    } else {
        s.mark = 0;
        auto& picks = *st_.SortList;
        for (auto it = picks.begin(); it != picks.end(); ++it)
            if (EqualNoCase(it->name, s.name)) {
                picks.erase(it);
                break;
            }
    }
    RefreshBands();
    imgMain_.Refresh();
    if (slot != static_cast<int>(st_.FileList.size()) - 1)
        GoToCell(st_.CurrentPage, st_.CursorCell, false);
}

void MainWindow::SortHome() {
    if (st_.FileList.empty()) {
        CurrentDialogs().Beep();
        return;
    }
    auto& picks = *st_.SortList;
    if (!picks.empty()) {
        for (const NamedIndex& p : picks) {
            if (p.index < 0 || p.index >= static_cast<int>(st_.FileList.size())) continue;
            st_.FileList[p.index].mark = 0;
        }
        picks.clear();
        RefreshBands();
        return;
    }
    for (size_t i = 0; i < st_.FileList.size(); ++i) {
        Slot& s = st_.FileList[i];
        if (s.name.empty()) continue;
        s.mark = 1;
        picks.push_back({s.name, static_cast<int>(i)});
    }
    RefreshBands();
}

bool MainWindow::ApplySort() {
    int anchor = CursorSlot(st_);
    bool valid = anchor >= 0 && anchor < static_cast<int>(st_.FileList.size()) &&
                 !st_.FileList[anchor].name.empty();
    if (!valid || st_.FileList[anchor].mark == 1 || st_.SortList->empty()) {
        CurrentDialogs().Beep();
        return false;
    }
    st_.DialogParam = st_.FileList[anchor].name;
    for (const NamedIndex& p : *st_.SortList)
        if (p.index >= 0 && p.index < static_cast<int>(st_.FileList.size()) &&
            st_.FileList[p.index].mark == 1)
            st_.FileList[p.index].mark = 0;
    RefreshBands();
    int at = ApplySortPicks(st_, anchor);
    PlaceCursorAt(st_, at);
    PaintPage();
    SetSortMode(false);
    UpdateStatusBar();
    return true;
}

void MainWindow::EndSortMode() {
    if (!st_.SortList->empty()) SortHome();
    SetSortMode(false);
    UpdateStatusBar();
}

void MainWindow::N5Click() {
    CurrentDialogs().Beep();
    if (st_.CaptureMode) return;
    if (st_.SortMode) {
        SetCursorBand(false);
        ApplySort();
        SetCursorBand(true);
        return;
    }
    if (!st_.FileList.empty()) {
        bool anyMark = false;
        for (const Slot& s : st_.FileList) anyMark = anyMark || s.mark == 1;
        if (anyMark) MarkAll();
        st_.SortList.emplace();
        SetSortMode(true);
        RefreshBands(); // the bands take sort mode's colours
    }
    UpdateStatusBar();
}

void MainWindow::ToggleCursorMark() {
    int slot = CursorSlot(st_);
    if (slot < 0 || slot >= static_cast<int>(st_.FileList.size())) return;
    st_.FileList[slot].mark ^= 1;
    RefreshBands();
    if (slot != static_cast<int>(st_.FileList.size()) - 1)
        GoToCell(st_.CurrentPage, st_.CursorCell, false);
}

void MainWindow::MarkAll() {
    if (CollectTargets()) {
        st_.TargetList.clear();
        return;
    }
    st_.TargetList.clear();
    for (Slot& s : st_.FileList) s.mark = s.name.empty() ? 0 : 1;
    RefreshBands();
}

void MainWindow::ReRead(bool resetCache) {
    Redraw(rdList | (resetCache ? rdCache : 0u) | rdCells);
}

bool MainWindow::RunChooser(const wchar_t* purpose, ChooserAnswer& answer) {
    ChooserRequest request{purpose, st_.CurrentDir, st_.CopyDir, PluginMask(), st_.DispCount};
    st_.DialogParam = request.purpose;
    bool ok = CurrentDialogs().Choose(hwnd_, request, answer);
    st_.DialogParam = answer.folder;
    return ok;
}

void MainWindow::ShowFolder(const std::wstring& folder, int count, bool lhaMode) {
    st_.LhaMode = lhaMode;
    st_.CurrentDir = folder;
    st_.SetDispCountValue(count);
    LayoutGrid();
    ResetPageCells();
    st_.CurrentPage = 1;
    st_.CursorCell = 1;
    BuildFileList();
    PaintPage();
}

void MainWindow::ChangeFolder() {
    ChooserAnswer answer;
    if (RunChooser(L"Dire", answer))
        ShowFolder(WithTrailingBackslash(answer.folder), answer.count, false);
}

bool MainWindow::ArchiveLibrariesReady() {
    const wchar_t* text = nullptr;
    const wchar_t* caption = nullptr;
    if (!UnlhaLoaded()) {
        text = L"UNLHA32.DLLがロードされていません．";
        caption = L"UNLHA32.DLL Not Loaded.";
    } else if (!st_.LhaPluginLoaded) {
        text = L"LHASAD.SPIがロードされていません．";
        caption = L"LHASAD.SPI Not Loaded.";
    } else {
        return true;
    }
    CurrentDialogs().Beep();
    CurrentDialogs().Message(hwnd_, text, caption, MB_OK);
    return false;
}

bool MainWindow::IsUsableArchive(const std::wstring& path) {
    // An empty archive name names the folder itself, which the check refuses.
    if (!path.empty() && path.back() != L'\\' && Unlha().CheckArchive(ToAnsi(path).c_str(), 1))
        return true;
    CurrentDialogs().Beep();
    CurrentDialogs().Message(hwnd_, L"LHAファイルが壊れているか，LHAファイルではありません．",
                             L"Error.", MB_OK);
    return false;
}

void MainWindow::OpenArchive() {
    if (!ArchiveLibrariesReady()) return;
    ChooserAnswer answer;
    if (!RunChooser(L"LHA", answer)) return;
    std::wstring folder = WithTrailingBackslash(answer.folder);
    // The open archive stays the one the commands act on until another is accepted.
    if (!IsUsableArchive(folder + answer.archiveName)) return;
    st_.ArchiveName = answer.archiveName;
    ShowFolder(folder, answer.count, true);
}

void MainWindow::AskQuit() {
    if (CurrentDialogs().Message(hwnd_, L"終了しますか？", L"Quit Tovane 32", MB_OKCANCEL) == IDOK)
        ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void MainWindow::K1Click() {
    if (st_.SortMode || st_.CaptureMode) {
        CurrentDialogs().Beep();
        return;
    }
    ChooserAnswer answer;
    if (!RunChooser(L"Kazu", answer)) return;
    SetCursorBand(false);
    ApplyDispCount(answer.count);
    st_.CellCacheValid = false;
    Redraw(rdLayout | rdCells);
    SetCursorBand(true);
}

// The help file lives at a fixed place; a missing file is the help viewer's to report.
void MainWindow::Help2Click() {
    ::WinHelpW(hwnd_, L"B:\\TOVN32\\Tovn32.hlp", HELP_CONTENTS, 0);
}

void MainWindow::O1Click() {
    if (st_.SortMode || st_.CaptureMode) {
        CurrentDialogs().Beep();
        return;
    }
    ShowOptions(hwnd_, st_, options_.iniPath);
}

void MainWindow::OnCommand(int id) {
    unsigned shift = 0;
    WORD key = MenuKey(id, &shift);
    if (key) {
        FormKeyDown(key, shift);
        return;
    }
    switch (id) {
    case idK1:
        K1Click();
        break;
    case idO1:
        O1Click();
        break;
    case idHelp2:
        Help2Click();
        break;
    case idN5:
        N5Click();
        break;
    case idN6:
        if (!capture_) capture_ = std::make_unique<Capture>(*this);
        capture_->N6Click();
        break;
    case idConvertBMP1:
        ConvertBMP1Click(*this);
        break;
    case idVersionInfo1:
        CurrentDialogs().Message(hwnd_, L"Tovane 32 Version 2.00．", L"ﾊﾞｰｼﾞｮﾝ情報", MB_OK);
        break;
    }
}

void MainWindow::imgMainMouseDown(int button, unsigned, int x, int y) {
    int n = st_.DispCount;
    int cw = imgMain_.Width() / n, ch = imgMain_.Height() / n;
    if (!cw || !ch) return;
    int row = y / ch, column = x / cw;
    int cell = row * n + column + 1;
    int slot = Index(st_.CurrentPage, cell, st_.CellsPerPage);
    if (slot < 0 || slot >= static_cast<int>(st_.FileList.size()) ||
        st_.FileList[slot].name.empty()) {
        CurrentDialogs().Beep();
        return;
    }
    SetCursorBand(false);
    st_.CursorCell = cell;
    GoToCell(st_.CurrentPage, cell - 1, false);
    SetCursorBand(true);
    if (button != 1) return;
    int at = CursorSlot(st_);
    Slot& s = st_.FileList[at];
    if (s.mark == 0) {
        s.mark = 1;
        if (st_.SortMode && st_.SortList) st_.SortList->push_back({s.name, at});
    } else {
        s.mark = 0;
        if (st_.SortMode && st_.SortList) {
            auto& picks = *st_.SortList;
            for (auto it = picks.begin(); it != picks.end(); ++it)
                if (EqualNoCase(it->name, s.name)) {
                    picks.erase(it);
                    break;
                }
        }
    }
    RefreshBands();
}

void MainWindow::imgMainDblClick() {
    WORD key = VK_RETURN;
    FormKeyDown(key, 0);
}

// Each notch turns a page as Page Up (away from the user) or Page Down does, with the keys'
// Shift and Ctrl forms; the small steps of a fine-grained wheel add up to a notch, and turning
// back starts the count again.
void MainWindow::MouseWheel(int delta, unsigned buttons) {
    if ((delta > 0) != (wheelRest_ > 0)) wheelRest_ = 0;
    wheelRest_ += delta;
    const unsigned shift = (buttons & MK_SHIFT ? ssShift : 0) | (buttons & MK_CONTROL ? ssCtrl : 0);
    while (hwnd_ && (wheelRest_ >= WHEEL_DELTA || wheelRest_ <= -WHEEL_DELTA)) {
        const bool up = wheelRest_ > 0;
        wheelRest_ -= up ? WHEEL_DELTA : -WHEEL_DELTA;
        WORD key = up ? VK_PRIOR : VK_NEXT;
        FormKeyDown(key, shift);
    }
}

void MainWindow::sbMainScroll(int code, int) {
    SetCursorBand(false);
    if (code == SB_LINEUP || code == SB_LINEDOWN || code == SB_PAGEUP || code == SB_PAGEDOWN ||
        code == SB_ENDSCROLL) {
        int p = ::GetScrollPos(sbMain_, SB_CTL);
        if (!st_.FileList.empty())
            GoToCell(PageOf(p, st_.CellsPerPage), CellOf(p, st_.CellsPerPage) - 1, true);
    }
    SetCursorBand(true);
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
    sbMainScroll(code, next);
    if (code != SB_ENDSCROLL) ::SetScrollPos(sbMain_, SB_CTL, next, TRUE);
}

} // namespace tovn
