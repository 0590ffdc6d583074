// A low-level keyboard hook (WH_KEYBOARD_LL) rather than WH_KEYBOARD: the system calls it
// in the thread that installed it, for the keys of every program in the session, so this
// library is never loaded into other processes. That keeps it working whatever the width
// of the other programs (a WH_KEYBOARD library only enters processes of its own width),
// needs no shared data section, and works under Wine, whose server hands every key of
// the session to low-level hooks. The installing thread runs a message loop, as the
// hook needs.
#include "tovnkh.h"

namespace {

HHOOK hook = nullptr;
HWND target = nullptr;
bool keyDown[256] = {};

// The lParam a WH_KEYBOARD hook would have received for this event.
LPARAM KeyboardHookFlags(const KBDLLHOOKSTRUCT& k, bool wasDown) {
    DWORD flags = 1;
    flags |= (k.scanCode & 0xFF) << 16;
    if (k.flags & LLKHF_EXTENDED) flags |= 1u << 24;
    if (k.flags & LLKHF_ALTDOWN) flags |= 1u << 29;
    if (wasDown) flags |= 1u << 30;
    if (k.flags & LLKHF_UP) flags |= 1u << 31;
    return static_cast<LPARAM>(flags);
}

// Posted, not sent: the program's work on a key must not hold up the system's input.
LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && target) {
        const auto& k = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
        const BYTE vk = static_cast<BYTE>(k.vkCode);
        const bool up = k.flags & LLKHF_UP;
        const bool wasDown = up || keyDown[vk];
        keyDown[vk] = !up;
        ::PostMessageW(target, WM_USER, vk, KeyboardHookFlags(k, wasDown));
    }
    return ::CallNextHookEx(hook, code, wp, lp);
}

void Unhook() {
    if (hook) ::UnhookWindowsHookEx(hook);
    hook = nullptr;
    target = nullptr;
}

HMODULE ThisModule() {
    HMODULE m = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&LowLevelKeyboardProc), &m);
    return m;
}

} // namespace

extern "C" BOOL WINAPI SetHook(HWND window) {
    Unhook();
    if (!::IsWindow(window)) return FALSE;
    for (bool& d : keyDown) d = false;
    hook = ::SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelKeyboardProc, ThisModule(), 0);
    if (!hook) return FALSE;
    target = window;
    return TRUE;
}

extern "C" void WINAPI RemoveHook() {
    Unhook();
}

// A library freed while its hook is set would leave the system calling freed code.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) Unhook();
    return TRUE;
}
