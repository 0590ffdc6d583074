#include "partsave/psbat.h"
#include "app/batch_file.h"
#include "app/dialogs.h"
#include "app/modal_loop.h"
#include "app/win_text.h"
#include "browser/browser_port.h"
#include "partsave/part_save.h"
#include <imm.h>
#include <algorithm>

namespace tovn {

namespace {

const wchar_t kClass[] = L"TfrmPsbat";
constexpr int kClientWidth = 480, kClientHeight = 161;
constexpr int kLabelWidth = 241, kLabelHeight = 17, kRowHeight = 16;
constexpr COLORREF kHighlight = 0xFF0000; // blue

} // namespace

std::wstring PartSavePathFor(const std::wstring& iniPath) {
    const size_t slash = iniPath.find_last_of(L"\\/");
    const size_t dot = iniPath.rfind(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
        return iniPath + L".PS";
    return iniPath.substr(0, dot) + L".PS";
}

TfrmPsbat::TfrmPsbat(HWND owner, PartSaveEditor& editor, PartSavePlaces places)
    : owner_(owner), editor_(editor), places_(std::move(places)) {}

TfrmPsbat::~TfrmPsbat() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool TfrmPsbat::Create() {
    static const bool registered =
        Window::RegisterClass(::GetModuleHandleW(nullptr), kClass,
                              static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))) != 0;
    (void)registered;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_CONTEXTHELP;
    RECT r{0, 0, kClientWidth, kClientHeight};
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (!CreateHandle(
            exStyle, kClass, L"Make 01PSS.BAT", style, (::GetSystemMetrics(SM_CXSCREEN) - w) / 2,
            (::GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, owner_, ::GetModuleHandleW(nullptr)))
        return false;
    ::ImmAssociateContextEx(hwnd_, nullptr, 0); // names and numbers only: no input method
    font_ = UniqueFont(::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     FIXED_PITCH | FF_DONTCARE, L"FixedSys"));
    black_ = UniqueBrush(::CreateSolidBrush(RGB(0, 0, 0)));
    blue_ = UniqueBrush(::CreateSolidBrush(kHighlight));
    for (int i = 0; i < kPartSaveEntries; ++i) {
        HWND label =
            ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
                              i < 10 ? 0 : 240, kRowHeight * (i % 10), kLabelWidth, kLabelHeight,
                              hwnd_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        labels_.push_back(label);
    }
    current_ = 0;
    std::string bytes;
    const bool read = ReadFileBytes(places_.psPath, bytes);
    // A list that is there but cannot be read (held by another program) is not written over.
    unreadable_ = !read && PathExists(places_.psPath);
    list_ = ParsePartSaveFile(read ? bytes : std::string());
    for (int i = 0; i < kPartSaveEntries; ++i) ShowEntry(i);
    Highlight(0);
    return true;
}

int TfrmPsbat::ShowModal() {
    ModalLoop loop(
        hwnd_, owner_, [this] { return done_; }, [this] { CloseWith(IDCANCEL); });
    loop.preview = [this](const MSG& msg) {
        if (msg.message != WM_KEYDOWN) return false;
        FormKeyDown(static_cast<WORD>(msg.wParam), CurrentShiftState(false));
        return true;
    };
    RunModalLoop(loop);
    return result_;
}

void TfrmPsbat::ShowEntry(int entry) {
    ::SetWindowTextW(Label(entry), FromAnsi(list_[static_cast<size_t>(entry)]).c_str());
}

void TfrmPsbat::Highlight(int entry) {
    const int old = current_;
    current_ = entry;
    ::InvalidateRect(Label(old), nullptr, TRUE);
    ::InvalidateRect(Label(entry), nullptr, TRUE);
}

void TfrmPsbat::FormKeyDown(WORD key, unsigned shift) {
    switch (key) {
    case VK_RETURN:
        Apply();
        break;
    case VK_ESCAPE:
        CloseWith(IDCANCEL);
        break;
    case VK_UP:
        Highlight(std::max(current_ - 1, 0));
        break;
    case VK_DOWN:
        Highlight(std::min(current_ + 1, kPartSaveEntries - 1));
        break;
    case VK_RIGHT:
        if (current_ <= 9) Highlight(current_ + 10);
        break;
    case VK_LEFT:
        if (current_ >= 10) Highlight(current_ - 10);
        break;
    case VK_INSERT:
        if (shift & ssShift)
            EditEntry();
        else
            Store();
        break;
    case VK_DELETE:
        list_[static_cast<size_t>(current_)].clear();
        ShowEntry(current_);
        break;
    }
}

// Reads the whole entry before anything changes: a bad entry is refused and the editor
// keeps its settings.
bool TfrmPsbat::ApplyEntry(const std::string& entry) {
    std::optional<PartEntry> parsed = ParsePartEntry(entry, editor_.Settings());
    if (!parsed) {
        CurrentDialogs().Beep();
        CurrentDialogs().Message(hwnd_, L"数値でない項目があります．\n" + FromAnsi(entry),
                                 L"Part Save Error", MB_OK);
        return false;
    }
    editor_.Settings() = parsed->settings;
    editor_.DrawSwatches();
    return true;
}

void TfrmPsbat::Apply() {
    const std::string& entry = list_[static_cast<size_t>(current_)];
    if (entry.empty() || !ApplyEntry(entry)) return;
    const EditSettings& s = editor_.Settings();
    const NameForms backup = PathForms(BatchFolder(places_.backupDir));
    if (!RewriteBatch(L"01PSS.BAT", Pss01Lines(backup, s))) return;
    if (!RewriteBatch(L"10PSS256.BAT", Pss10Lines(backup, s))) return;
    CloseWith(IDOK);
}

bool TfrmPsbat::RewriteBatch(const wchar_t* name,
                             const std::optional<std::vector<std::wstring>>& lines) {
    const std::wstring path = places_.toolFolder + name;
    if (!FileExists(path)) return true; // only existing batch files are rewritten
    switch (lines ? WriteBatchFile(path, *lines) : BatchWrite::Refused) {
    case BatchWrite::Written:
        return true;
    case BatchWrite::Refused:
        ReportBatchRefused(hwnd_, L"フォルダ " + places_.backupDir);
        return false;
    case BatchWrite::Unwritable:
        break;
    }
    ReportWriteError(hwnd_, path);
    return false;
}

void TfrmPsbat::Store() {
    std::wstring name;
    if (CurrentDialogs().Input(hwnd_, L"Input Part Save", L"Input PS Name", name)) {
        name.erase(std::remove(name.begin(), name.end(), L','), name.end()); // the field separator
        list_[static_cast<size_t>(current_)] = FormatPartEntry(ToAnsi(name), editor_.Settings());
        ShowEntry(current_);
    }
    CloseWith(IDOK);
}

void TfrmPsbat::EditEntry() {
    std::wstring text = FromAnsi(list_[static_cast<size_t>(current_)]);
    const std::wstring initial = text;
    if (!CurrentDialogs().Input(hwnd_, L"Change Part Save", L"Change Part Save", text))
        text = initial;
    const std::string entry = ToAnsi(text);
    // Stored as typed first: an entry the editor cannot take is kept for correcting.
    list_[static_cast<size_t>(current_)] = entry;
    ShowEntry(current_);
    if (!ApplyEntry(entry)) return;
    SnapToColumns(editor_.Settings());
    list_[static_cast<size_t>(current_)] =
        FormatPartEntry(entry.substr(0, entry.find(',')), editor_.Settings());
    ShowEntry(current_);
    CloseWith(IDOK);
}

void TfrmPsbat::FormClose() {
    if (unreadable_ || !WriteFileBytes(places_.psPath, PartSaveFileText(list_)))
        ReportWriteError(hwnd_, places_.psPath);
}

void TfrmPsbat::CloseWith(int result) {
    if (done_) return;
    result_ = result;
    FormClose();
    done_ = true;
}

LRESULT TfrmPsbat::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wp);
        const bool highlighted = reinterpret_cast<HWND>(lp) == Label(current_);
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::SetBkColor(dc, highlighted ? kHighlight : RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(highlighted ? blue_.get() : black_.get());
    }
    case WM_CLOSE:
        CloseWith(IDCANCEL);
        return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

} // namespace tovn
