// Prints the four status-bar panels of the running Tovane 32 window, one per line (UTF-8),
// read from outside the program as a user's screen reader would.
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <string>

namespace {

HWND FindStatusBar() {
    HWND main = ::FindWindowW(L"TfrmMain", L"Tovane 32");
    return main ? ::FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr) : nullptr;
}

std::string Utf8(const std::wstring& s) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

} // namespace

int main() {
    HWND bar = FindStatusBar();
    if (!bar) return 1;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(bar, &pid);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                   FALSE, pid);
    if (!process) return 2;
    const SIZE_T size = 2048 * sizeof(wchar_t);
    void* remote = ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    int result = remote ? 0 : 3;
    for (int panel = 0; remote && panel < 4; ++panel) {
        wchar_t text[2048] = {};
        ::SendMessageW(bar, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(remote));
        SIZE_T got = 0;
        ::ReadProcessMemory(process, remote, text, size - sizeof(wchar_t), &got);
        std::printf("%s\n", Utf8(text).c_str());
    }
    if (remote) ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return result;
}
