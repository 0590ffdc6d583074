// The browser's own command handlers and the mouse; the keys reach them through the
// dispatcher and the command table.
#include "app/dialogs.h"
#include "app/wait_window.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/browser.h"
#include "browser/dispatcher.h"
#include "browser/sort_mode.h"
#include "app/dialogs/option.h"
#include "win/handles.h"
#include "picture/picture_host.h"
#include "slide/slide_window.h"
#include "editor/edit_window.h"
#include "core/slots.h"
#include "core/text.h"

namespace tovn {

void Browser::KeyPress(wchar_t& key) {
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
    ::PostMessageW(Owner(), WM_KEYDOWN, arrow, 0);
}

void Browser::PageUp(bool toFirst) {
    GoToCell(toFirst ? 1 : st_.CurrentPage - 1, 0, true);
}

// On the last page the scroll bar is only put back on the cursor.
void Browser::PageDown(bool toLast) {
    if (toLast)
        GoToCell(st_.PageCount, 0, true);
    else if (st_.CurrentPage == st_.PageCount)
        view_.ShowCursorInScrollBar();
    else
        GoToCell(st_.CurrentPage + 1, 0, true);
}

void Browser::ViewCursorFile() {
    int slot = CursorSlot(st_);
    if (!CheckSlotFile(slot)) {
        CurrentDialogs().Beep();
        return;
    }
    ShowSlide(*this, TargetList{{NamedIndex{st_.FileList[slot].name, slot}}},
              st_.SortMode ? L"Sort" : L"Hyouzi");
    RealizeDisplayPalette();
}

// Returns false when the call ends (cancel or error).
bool Browser::PageJump() {
    std::wstring text = std::to_wstring(st_.CurrentPage);
    if (!CurrentDialogs().Input(Owner(), L"Page Jump", L"ページを入力して下さい．", text))
        return false;
    long long n = 0;
    if (!ParseInteger(text, n)) {
        CurrentDialogs().Beep();
        CurrentDialogs().Message(Owner(), L"数値で入力して下さい．", L"Input Error", MB_OK);
        return false;
    }
    if (n >= 1 && n <= st_.PageCount && n != st_.CurrentPage)
        GoToCell(static_cast<int>(n), 0, true);
    return true;
}

// Marks every file from the cursor on when nothing is marked, and takes the marked files
// as the show's targets.
void Browser::SlideShow() {
    TargetList targets = CollectTargets();
    if (!targets.fromMarks) {
        for (int i = CursorSlot(st_); i < static_cast<int>(st_.FileList.size()); ++i) {
            if (st_.FileList[i].name.empty()) continue;
            st_.FileList[i].mark = 1;
        }
        view_.RefreshBands();
        targets = CollectTargets();
    }
    ShowSlide(*this, targets, L"Slide");
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
bool Browser::EditCursorFile() {
    int slot = CursorSlot(st_);
    if (!CheckSlotFile(slot)) return false;
    const std::wstring& name = st_.FileList[slot].name;
    const bool bmp = UpperExtension(name) == L".BMP";
    auto refuse = [this](const wchar_t* text, const wchar_t* caption) {
        CurrentDialogs().Beep();
        CurrentDialogs().Message(Owner(), text, caption, MB_OK);
        return false;
    };
    const wchar_t* onlyPalette = L"この環境では256色以下の画像しか使えません．";
    PictureInfo info{};
    if (st_.PaletteDisplay) {
        if (bmp) {
            int bits = BmpBitCount(st_.CurrentDir + name);
            if (bits < 1 || bits > 8) return refuse(onlyPalette, L"Can not Use Edit");
        } else {
            if (!pictures_.QueryPictureInfo(name, Source(), info))
                return refuse(L"このファイルは扱えません．", L"Can not Edit");
            if (info.colorDepth < 1 || info.colorDepth > 8)
                return refuse(onlyPalette, L"Can not Edit");
        }
    } else if (!bmp && !pictures_.QueryPictureInfo(name, Source(), info)) {
        return refuse(L"このファイルは扱えません．", L"Can not Use Edit");
    }
    return RunEditor(*this);
}

void Browser::ToggleCursorMark() {
    int slot = CursorSlot(st_);
    if (slot < 0 || slot >= static_cast<int>(st_.FileList.size())) return;
    st_.FileList[slot].mark ^= 1;
    view_.RefreshBands();
    if (slot != static_cast<int>(st_.FileList.size()) - 1)
        GoToCell(st_.CurrentPage, st_.CursorCell, false);
}

void Browser::MarkAll() {
    if (CollectTargets().fromMarks) return;
    for (Slot& s : st_.FileList) s.mark = s.name.empty() ? 0 : 1;
    view_.RefreshBands();
}

void Browser::ReRead(bool resetCache) {
    Redraw(rdList | (resetCache ? rdCache : 0u) | rdCells);
}

bool Browser::RunChooser(const wchar_t* purpose, ChooserAnswer& answer) {
    ChooserRequest request{purpose, st_.CurrentDir, st_.CopyDir, PluginMask(), st_.DispCount};
    return CurrentDialogs().Choose(Owner(), request, answer);
}

void Browser::ShowFolder(const std::wstring& folder, int count) {
    ShowPlace(FolderAt(folder), count);
}

void Browser::ShowPlace(std::unique_ptr<Place> place, int count) {
    SetPlace(std::move(place));
    st_.SetDispCountValue(count);
    view_.LayoutGrid();
    view_.ResetPageCells();
    st_.CurrentPage = 1;
    st_.CursorCell = 1;
    BuildFileList();
    view_.PaintPage();
}

void Browser::ChangeFolder() {
    ChooserAnswer answer;
    if (RunChooser(L"Dire", answer)) ShowFolder(WithTrailingBackslash(answer.folder), answer.count);
}

bool Browser::ArchiveLibrariesReady() {
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
    CurrentDialogs().Message(Owner(), text, caption, MB_OK);
    return false;
}

bool Browser::IsUsableArchive(const std::wstring& path) {
    // An empty archive name names the folder itself, which the check refuses.
    if (!path.empty() && path.back() != L'\\' && Unlha().CheckArchive(ToAnsi(path).c_str(), 1))
        return true;
    CurrentDialogs().Beep();
    CurrentDialogs().Message(Owner(), L"LHAファイルが壊れているか，LHAファイルではありません．",
                             L"Error.", MB_OK);
    return false;
}

void Browser::OpenArchive() {
    if (!ArchiveLibrariesReady()) return;
    ChooserAnswer answer;
    if (!RunChooser(L"LHA", answer)) return;
    std::wstring folder = WithTrailingBackslash(answer.folder);
    // The open archive stays the one the commands act on until another is accepted.
    if (!IsUsableArchive(folder + answer.archiveName)) return;
    ShowPlace(ArchiveAt(folder, answer.archiveName), answer.count);
}

void Browser::AskQuit() {
    if (CurrentDialogs().Message(Owner(), L"終了しますか？", L"Quit Tovane 32", MB_OKCANCEL) ==
        IDOK)
        view_.Close();
}

void Browser::K1Click() {
    ChooserAnswer answer;
    if (!RunChooser(L"Kazu", answer)) return;
    SetCursorBand(false);
    ApplyDispCount(answer.count);
    st_.CellCacheValid = false;
    Redraw(rdLayout | rdCells);
    SetCursorBand(true);
}

// The help file lives at a fixed place; a missing file is the help viewer's to report.
void Browser::Help2Click() {
    ::WinHelpW(Owner(), L"B:\\TOVN32\\Tovn32.hlp", HELP_CONTENTS, 0);
}

void Browser::O1Click() {
    ShowOptions(Owner(), st_, options_.iniPath);
}

void Browser::MouseDown(int button, int x, int y, int gridWidth, int gridHeight) {
    int n = st_.DispCount;
    int cw = gridWidth / n, ch = gridHeight / n;
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
    TogglePick(*this, CursorSlot(st_));
}

void Browser::DoubleClick() {
    Dispatcher(*this).KeyDown(VK_RETURN, 0);
}

// Each notch turns a page as Page Up (away from the user) or Page Down does, with the keys'
// Shift and Ctrl forms; the small steps of a fine-grained wheel add up to a notch, and turning
// back starts the count again.
void Browser::MouseWheel(int delta, unsigned buttons) {
    if ((delta > 0) != (wheelRest_ > 0)) wheelRest_ = 0;
    wheelRest_ += delta;
    const unsigned shift = (buttons & MK_SHIFT ? ssShift : 0) | (buttons & MK_CONTROL ? ssCtrl : 0);
    while (view_.IsOpen() && (wheelRest_ >= WHEEL_DELTA || wheelRest_ <= -WHEEL_DELTA)) {
        const bool up = wheelRest_ > 0;
        wheelRest_ -= up ? WHEEL_DELTA : -WHEEL_DELTA;
        Dispatcher(*this).KeyDown(up ? VK_PRIOR : VK_NEXT, shift);
    }
}

void Browser::ScrollBarMoved(int code) {
    SetCursorBand(false);
    if (code == SB_LINEUP || code == SB_LINEDOWN || code == SB_PAGEUP || code == SB_PAGEDOWN ||
        code == SB_ENDSCROLL) {
        int p = view_.ScrollPosition();
        if (!st_.FileList.empty())
            GoToCell(PageOf(p, st_.CellsPerPage), CellOf(p, st_.CellsPerPage) - 1, true);
    }
    SetCursorBand(true);
}

void Browser::N6Click() {
    if (!capture_) capture_ = std::make_unique<Capture>(*this);
    capture_->N6Click();
}

void Browser::CaptureHookMessage(WPARAM wp, LPARAM lp) {
    if (capture_) capture_->HookMessage(wp, lp);
}

} // namespace tovn
