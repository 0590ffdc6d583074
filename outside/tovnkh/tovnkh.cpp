// A low-level keyboard hook (WH_KEYBOARD_LL) rather than WH_KEYBOARD: the system calls it
// in the thread that installed it, for the keys of every program in the session, so this
// library is never loaded into other processes. That keeps it working whatever the width
// of the other programs (a WH_KEYBOARD library only enters processes of its own width),
// needs no shared data section, and works under Wine, whose server hands every key of
// the session to low-level hooks.
//
// The hook lives in a thread of its own with its own message loop. Every key typed anywhere
// waits until the hooking thread has run the callback: installed by the caller's window
// thread, the whole desktop's keyboard would wait whenever that window paints or works, and
// the system removes a hook that keeps timing out.
#include "tovnkh.h"
#include "win/handles.h"

namespace {

using tovn::UniqueKernel;

HWND target = nullptr;   // written before the hook thread starts, read only by it
bool keyDown[256] = {};  // the hook thread's alone
HHOOK hook = nullptr;    // the hook thread's alone
UniqueKernel hookThread; // running while the hook is set
DWORD hookThreadId = 0;

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
    if (code == HC_ACTION) {
        const auto& k = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
        const BYTE vk = static_cast<BYTE>(k.vkCode);
        const bool up = k.flags & LLKHF_UP;
        const bool wasDown = up || keyDown[vk];
        keyDown[vk] = !up;
        ::PostMessageW(target, WM_USER, vk, KeyboardHookFlags(k, wasDown));
    }
    return ::CallNextHookEx(hook, code, wp, lp);
}

HMODULE ThisModule(DWORD flags) {
    HMODULE m = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | flags,
                         reinterpret_cast<LPCWSTR>(&LowLevelKeyboardProc), &m);
    return m;
}

// What SetHook hands the hook thread and learns back from it.
struct Start {
    HMODULE module;     // a reference of the thread's own, given up as it ends
    UniqueKernel ready; // set once the hook is installed or refused
    bool installed = false;
};

// Installs the hook, reports, and runs the loop the hook needs until RemoveHook posts
// WM_QUIT. The thread holds its own reference to this library and gives it up only as it
// exits, so a library freed while its hook is set never pulls the code from under it.
DWORD WINAPI HookThreadMain(void* parameter) {
    Start& start = *static_cast<Start*>(parameter);
    const HMODULE module = start.module;
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // the queue WM_QUIT will arrive in
    hook = ::SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelKeyboardProc, module, 0);
    start.installed = hook != nullptr;
    ::SetEvent(start.ready.get()); // `start` is the caller's: not touched after this
    if (hook) {
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
        ::UnhookWindowsHookEx(hook);
        hook = nullptr;
    }
    ::FreeLibraryAndExitThread(module, 0);
}

// Stops the hook thread and waits until it has ended.
void StopHookThread() {
    if (!hookThread) return;
    ::PostThreadMessageW(hookThreadId, WM_QUIT, 0, 0);
    ::WaitForSingleObject(hookThread.get(), INFINITE);
    hookThread.reset();
    hookThreadId = 0;
}

} // namespace

extern "C" BOOL WINAPI SetHook(HWND window) {
    StopHookThread();
    if (!::IsWindow(window)) return FALSE;
    target = window;
    for (bool& d : keyDown) d = false;
    Start start{ThisModule(0), UniqueKernel(::CreateEventW(nullptr, TRUE, FALSE, nullptr))};
    if (!start.module || !start.ready) {
        if (start.module) ::FreeLibrary(start.module);
        return FALSE;
    }
    UniqueKernel thread(::CreateThread(nullptr, 0, HookThreadMain, &start, 0, &hookThreadId));
    if (!thread) {
        ::FreeLibrary(start.module);
        return FALSE;
    }
    // Keys must reach the hook before anything the caller's thread does.
    ::SetThreadPriority(thread.get(), THREAD_PRIORITY_HIGHEST);
    ::WaitForSingleObject(start.ready.get(), INFINITE);
    hookThread = std::move(thread);
    if (start.installed) return TRUE;
    StopHookThread(); // the thread ends by itself: wait for it
    return FALSE;
}

extern "C" void WINAPI RemoveHook() {
    StopHookThread();
}
