#include "app/dialogs/tests/driver.h"
#include <cstdlib>
#include <memory>

namespace tovn::test {

OnShown::OnShown(std::function<void(HWND)> body) {
    auto calls = calls_;
    previous_ = dlg::SetShownHook([body, calls](HWND w) {
        ++*calls;
        body(w);
    });
}
OnShown::~OnShown() {
    dlg::SetShownHook(previous_);
}

int RecordingDialogs::Message(HWND owner, const std::wstring& text, const std::wstring& caption,
                              UINT f) {
    events.push_back(caption + L": " + text);
    flags.push_back(f);
    owners.push_back(owner);
    return IDOK;
}

namespace {
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(folder + name + L"\\");
            } else {
                ::DeleteFileW((folder + name).c_str());
            }
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(folder.c_str());
}
} // namespace

ScratchFolder::ScratchFolder() {
    wchar_t tmp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    static int serial = 0;
    path_ = std::wstring(tmp) + L"tovn_dialogs_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
            std::to_wstring(++serial) + L"\\";
    ::CreateDirectoryW(path_.c_str(), nullptr);
}
ScratchFolder::~ScratchFolder() {
    RemoveTree(path_);
}

std::wstring ScratchFolder::MakeFile(const std::wstring& name) const {
    const std::wstring path = path_ + name;
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    return path;
}

std::wstring ScratchFolder::MakeFolder(const std::wstring& name) const {
    const std::wstring path = path_ + name;
    ::CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

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
