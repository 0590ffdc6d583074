#include "app/dialogs/tests/driver.h"
#include <cstdlib>

namespace tovn::test {

void Click(HWND dialog, int id) {
    ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
std::wstring Text(HWND dialog, int id) {
    return dlg::TextOf(::GetDlgItem(dialog, id));
}
void SetText(HWND dialog, int id, const std::wstring& text) {
    ::SetWindowTextW(::GetDlgItem(dialog, id), text.c_str());
}
bool IsOpen(HWND dialog) {
    return ::IsWindow(dialog) && ::IsWindowVisible(dialog);
}

int FocusedId(HWND dialog) {
    HWND f = ::GetFocus();
    // A drop-down list's focus may sit in a child of the combo box.
    while (f && ::GetParent(f) != dialog) f = ::GetParent(f);
    return f ? ::GetDlgCtrlID(f) : 0;
}

std::vector<int> TabOrder(HWND dialog) {
    std::vector<int> ids;
    HWND first = ::GetDlgItem(dialog, FocusedId(dialog));
    HWND w = first;
    do {
        ids.push_back(::GetDlgCtrlID(w));
        w = ::GetNextDlgTabItem(dialog, w, FALSE);
    } while (w && w != first && ids.size() < 20);
    return ids;
}

std::vector<std::wstring> ListItems(HWND list, bool combo) {
    const UINT countMsg = combo ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT lenMsg = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT textMsg = combo ? CB_GETLBTEXT : LB_GETTEXT;
    std::vector<std::wstring> items;
    const auto n = ::SendMessageW(list, countMsg, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        std::wstring s(static_cast<size_t>(::SendMessageW(list, lenMsg, i, 0)) + 1, L'\0');
        s.resize(static_cast<size_t>(
            ::SendMessageW(list, textMsg, i, reinterpret_cast<LPARAM>(s.data()))));
        items.push_back(s);
    }
    return items;
}

void PauseForLook() {
    const char* ms = std::getenv("TOVN_DIALOG_PAUSE_MS");
    if (!ms) return;
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(std::atoi(ms));
    while (::GetTickCount() < end) {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
        ::Sleep(20);
    }
}

} // namespace tovn::test
