#include "macro/macro_window.h"
#include "app/dialogs.h"
#include "app/modal_loop.h"
#include "app/run_and_wait.h"
#include "app/win_text.h"
#include "browser/browser_port.h"
#include "macro/macro_file.h"
#include "macro/macro_table.h"
#include "macro/run_macro.h"
#include <imm.h>
#include <utility>

namespace tovn {

namespace {

constexpr wchar_t kClassName[] = L"TfrmMcr";
constexpr int kKeyLabelBase = 100, kSlotLabelBase = 200;
constexpr int kClientWidth = 593, kClientHeight = 297;
constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr size_t kMacroLength = 255; // the most the input box lets the user type

HMENU ControlId(int id) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

} // namespace

TfrmMcr::TfrmMcr(BrowserPort& browser)
    : browser_(browser),
      font_(::CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          FIXED_PITCH | FF_MODERN, L"System")),
      slotColours_(kMacroSlots, kBlack) {}

TfrmMcr::~TfrmMcr() = default;

HWND TfrmMcr::Create() {
    static const bool registered =
        Window::RegisterClass(::GetModuleHandleW(nullptr), kClassName,
                              static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))) != 0;
    (void)registered;
    RECT r{0, 0, kClientWidth, kClientHeight};
    ::AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (!CreateHandle(kExStyle, kClassName, L"TOVANE 32 マクロ", kStyle,
                      (::GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                      (::GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, browser_.Owner(),
                      ::GetModuleHandleW(nullptr)))
        return nullptr;
    ::ImmAssociateContext(hwnd_, nullptr); // keys select slots; no conversion in between
    FormCreate();
    return hwnd_;
}

void TfrmMcr::FormCreate() {
    CreateLabels();
    currentSlot_ = 1;
    PaintSlot(1, kBlue);
    std::string bytes;
    bool whole = true;
    const bool read = ReadFileStart(MacroFilePath(), kMacroFileLimit, bytes, whole);
    // No file yet: all slots empty. One that is there but cannot be read (held by another
    // program), or that is too long to hold whole, is not written over.
    keepFile_ = read ? !whole : PathExists(MacroFilePath());
    macroList_ = ParseMacroFile(read ? bytes : std::string(), whole);
    for (int slot = 1; slot <= kMacroSlots; ++slot) ShowSlot(slot);
}

void TfrmMcr::CreateLabels() {
    auto label = [this](const std::wstring& text, int id, int left, int top, int width) {
        HWND w = ::CreateWindowExW(0, L"STATIC", text.c_str(),
                                   WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, left,
                                   top, width, kLabelHeight, hwnd_, ControlId(id),
                                   ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    };
    for (int slot = 1; slot <= kMacroSlots; ++slot) {
        SlotPlace p = PlaceOfSlot(slot);
        label(MacroKeyName(slot), kKeyLabelBase + slot, p.keyLeft, p.top, kKeyLabelWidth);
    }
    for (int slot = 1; slot <= kMacroSlots; ++slot) {
        SlotPlace p = PlaceOfSlot(slot);
        label(L"", kSlotLabelBase + slot, p.textLeft, p.top, kTextLabelWidth);
    }
}

std::wstring TfrmMcr::MacroFilePath() const {
    const std::wstring& ini = browser_.IniPath();
    size_t name = ini.find_last_of(L"\\/");
    size_t dot = ini.rfind(L'.');
    if (dot == std::wstring::npos || (name != std::wstring::npos && dot < name)) dot = ini.size();
    return ini.substr(0, dot) + L".MCR";
}

HWND TfrmMcr::KeyLabel(int slot) const {
    return ::GetDlgItem(hwnd_, kKeyLabelBase + slot);
}

HWND TfrmMcr::SlotLabel(int slot) const {
    return ::GetDlgItem(hwnd_, kSlotLabelBase + slot);
}

void TfrmMcr::ShowSlot(int slot) {
    ::SetWindowTextW(SlotLabel(slot), FromAnsi(macroList_[slot - 1]).c_str());
}

void TfrmMcr::PaintSlot(int slot, COLORREF colour) {
    slotColours_[slot - 1] = colour;
    ::InvalidateRect(SlotLabel(slot), nullptr, TRUE);
}

int TfrmMcr::ShowModal() {
    modalResult_ = 0;
    RunModalLoop({hwnd_, browser_.Owner(), [this] { return modalResult_ != 0; },
                  [this] { Close(IDCANCEL); }});
    return modalResult_;
}

void TfrmMcr::Close(int result) {
    FormClose();
    modalResult_ = result;
}

void TfrmMcr::FormClose() {
    if (keepFile_ || !WriteFileBytes(MacroFilePath(), MacroFileText(macroList_)))
        ReportUnwritable(hwnd_, MacroFilePath());
}

void TfrmMcr::FormKeyDown(WORD key) {
    const std::pair<WORD, HighlightMove> arrows[] = {{VK_UP, HighlightMove::Up},
                                                     {VK_DOWN, HighlightMove::Down},
                                                     {VK_LEFT, HighlightMove::Left},
                                                     {VK_RIGHT, HighlightMove::Right}};
    for (const auto& [arrow, move] : arrows)
        if (key == arrow) return MoveHighlightTo(MoveHighlight(currentSlot_, move));
    if (key == VK_RETURN) return RunMacro();
    if (key != VK_ESCAPE && key != VK_INSERT && key != VK_DELETE) return;
    // While a run goes on, the window stays open and the macros as they are.
    if (RunAndWaitBusy()) {
        CurrentDialogs().Beep();
    } else if (key == VK_ESCAPE) {
        Close(IDCANCEL);
    } else if (key == VK_INSERT) {
        EditSlot();
    } else {
        macroList_[currentSlot_ - 1].clear();
        ShowSlot(currentSlot_);
    }
}

void TfrmMcr::FormKeyPress(wchar_t key) {
    const int slot = MacroSlotOf(key);
    if (!slot) return;
    // The highlight stays where it is; after a run that did not end, so does CurrentSlot.
    const int highlighted = currentSlot_;
    currentSlot_ = slot;
    RunMacro();
    if (!modalResult_) currentSlot_ = highlighted;
}

void TfrmMcr::MoveHighlightTo(int slot) {
    if (slot == currentSlot_) return;
    PaintSlot(currentSlot_, kBlack);
    currentSlot_ = slot;
    PaintSlot(currentSlot_, kBlue);
}

void TfrmMcr::EditSlot() {
    std::wstring text = FromAnsi(macroList_[currentSlot_ - 1]);
    if (!CurrentDialogs().Input(hwnd_, L"Input Tovane 32 MCR", L"マクロを入力して下さい．", text,
                                kMacroLength))
        return;
    macroList_[currentSlot_ - 1] = ToAnsi(text);
    ShowSlot(currentSlot_);
}

void TfrmMcr::RunMacro() {
    // A second run would write its batch file under the one still running.
    if (RunAndWaitBusy()) {
        CurrentDialogs().Beep();
        return;
    }
    if (tovn::RunMacro(browser_, hwnd_, macroList_[currentSlot_ - 1])) Close(IDOK);
}

HBRUSH TfrmMcr::LabelColours(HDC dc, HWND label) {
    const int id = ::GetDlgCtrlID(label);
    const bool text = id > kSlotLabelBase && id <= kSlotLabelBase + kMacroSlots;
    const COLORREF back = text ? slotColours_[id - kSlotLabelBase - 1] : kBlack;
    ::SetTextColor(dc, kWhite);
    ::SetBkColor(dc, back);
    ::SetDCBrushColor(dc, back);
    return static_cast<HBRUSH>(::GetStockObject(DC_BRUSH));
}

LRESULT TfrmMcr::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_KEYDOWN:
        FormKeyDown(static_cast<WORD>(wp));
        return 0;
    case WM_CHAR:
        FormKeyPress(static_cast<wchar_t>(wp));
        return 0;
    case WM_SYSCHAR: // Alt with a letter: no menu to open, no beep
        return 0;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_KEYMENU) return 0;
        break;
    case WM_CLOSE:
        if (RunAndWaitBusy())
            CurrentDialogs().Beep();
        else if (!modalResult_)
            Close(IDCANCEL);
        return 0;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(
            LabelColours(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
    }
    return Window::HandleMessage(msg, wp, lp);
}

} // namespace tovn
