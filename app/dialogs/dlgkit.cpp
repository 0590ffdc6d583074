#include "app/dialogs/dlgkit.h"
#include "app/modal_loop.h"
#include <commctrl.h>
#include <algorithm>
#include <cstring>
#include <vector>

namespace tovn::dlg {
namespace {

constexpr UINT kShown = WM_APP + 0x51;

// An empty dialog template: no controls, no font; the caption is set after creation.
std::vector<WORD> EmptyTemplate(bool topmost) {
    DLGTEMPLATE t{};
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
    t.dwExtendedStyle = WS_EX_DLGMODALFRAME | (topmost ? WS_EX_TOPMOST : 0);
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);
    std::memcpy(words.data(), &t, sizeof t);
    return words; // menu, class and title follow as empty entries
}

} // namespace

ModalDialog::ModalDialog()
    // 13 pixels: at 12 the IPA fonts put "_" below the character cell, where it is cut off.
    : font_(::CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic")) {}

int ModalDialog::Run(HWND owner, const Frame& frame) {
    static const bool commonControls = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES |
                                                 ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES};
        return ::InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)commonControls;
    frame_ = &frame;
    std::vector<WORD> tpl = EmptyTemplate(frame.topmost);
    INT_PTR r = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr),
                                          reinterpret_cast<LPCDLGTEMPLATEW>(tpl.data()), owner,
                                          &ModalDialog::Proc, reinterpret_cast<LPARAM>(this));
    hwnd_ = nullptr;
    frame_ = nullptr;
    return r == -1 ? IDCANCEL : static_cast<int>(r);
}

HWND ModalDialog::Add(const wchar_t* cls, const std::wstring& text, DWORD style, int id, int x,
                      int y, int w, int h, DWORD exStyle) {
    HWND c = ::CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w,
                               h, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               ::GetModuleHandleW(nullptr), nullptr);
    if (c) ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return c;
}

std::vector<HWND> ModalDialog::AddRadioGroup(const std::wstring& caption,
                                             std::initializer_list<const wchar_t*> items,
                                             int firstId, RECT box, int columns) {
    const int rowHeight = 20;
    // Room beside the texts: the caption's gaps in the frame, the round button and its gap.
    constexpr int kCaptionRoom = 20, kRadioRoom = 22;
    int widestItem = 0;
    for (const wchar_t* item : items) widestItem = std::max(widestItem, TextWidth(item));
    box.right = std::max({box.right, box.left + TextWidth(caption) + kCaptionRoom,
                          box.left + 20 + (widestItem + kRadioRoom + 4) * columns});
    const int columnWidth = (box.right - box.left - 20) / columns;
    std::vector<HWND> made;
    made.push_back(Add(L"BUTTON", caption, BS_GROUPBOX | WS_GROUP, -1, box.left, box.top,
                       box.right - box.left, box.bottom - box.top));
    int i = 0;
    for (const wchar_t* item : items) {
        const DWORD style = BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
        made.push_back(
            Add(L"BUTTON", item, style, firstId + i, box.left + 10 + (i % columns) * columnWidth,
                box.top + 18 + (i / columns) * rowHeight, columnWidth - 4, rowHeight - 2));
        ++i;
    }
    return made;
}

bool ModalDialog::OnCommand(int, int, HWND) {
    return false;
}

int ModalDialog::TextWidth(const std::wstring& text) const {
    WindowDc dc(hwnd_);
    SelectIn useFont(dc.get(), font_.get());
    SIZE size{};
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int ModalDialog::RightmostEdge(const std::vector<HWND>& controls) const {
    int right = 0;
    for (HWND c : controls) {
        RECT r;
        ::GetWindowRect(c, &r);
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        right = std::max(right, static_cast<int>(r.right));
    }
    return right;
}

void ModalDialog::WidenClientTo(int width) {
    RECT client;
    ::GetClientRect(hwnd_, &client);
    if (width > client.right) Centre(OuterSize(width, client.bottom));
}

SIZE ModalDialog::OuterSize(int clientWidth, int clientHeight) const {
    RECT r{0, 0, clientWidth, clientHeight};
    auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE));
    auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

void ModalDialog::Centre(SIZE outer) {
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2;
    ::SetWindowPos(hwnd_, nullptr, x, y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ModalDialog::Place() {
    const int w = frame_->clientWidth, h = frame_->clientHeight;
    Centre(frame_->outerSize ? SIZE{w, h} : OuterSize(w, h));
    ::SetWindowTextW(hwnd_, frame_->caption.c_str());
}

INT_PTR CALLBACK ModalDialog::Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        ::SetWindowLongPtrW(w, DWLP_USER, lp);
        reinterpret_cast<ModalDialog*>(lp)->hwnd_ = w;
    }
    auto* self = reinterpret_cast<ModalDialog*>(::GetWindowLongPtrW(w, DWLP_USER));
    return self ? self->Handle(msg, wp, lp) : FALSE;
}

INT_PTR ModalDialog::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        Place();
        OnInit();
        ::PostMessageW(hwnd_, kShown, 0, 0);
        return FALSE; // OnInit placed the focus
    case kShown:
        NotifyShown(hwnd_);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        if (OnCommand(id, HIWORD(wp), reinterpret_cast<HWND>(lp))) return TRUE;
        if (id == IDOK || id == IDCANCEL) {
            End(id);
            return TRUE;
        }
        return FALSE;
    }
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    case WM_VSCROLL:
        OnVScroll(reinterpret_cast<HWND>(lp));
        return TRUE;
    default:
        return FALSE;
    }
}

bool IsFolder(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring TextOf(HWND w) {
    std::wstring s(static_cast<size_t>(::GetWindowTextLengthW(w)) + 1, L'\0');
    s.resize(static_cast<size_t>(::GetWindowTextW(w, s.data(), static_cast<int>(s.size()))));
    return s;
}

int CheckedIndex(HWND dialog, int firstId, int count) {
    for (int i = 0; i < count; ++i) {
        if (::IsDlgButtonChecked(dialog, firstId + i) == BST_CHECKED) return i;
    }
    return -1;
}

} // namespace tovn::dlg
