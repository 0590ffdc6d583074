// Another program for the keyboard hook tests: brings a window of its own to the front,
// tells the test through the named event (its argument) that it is there, types one key
// through the system's input half a second later and exits with the milliseconds until the
// window received the key's release (codes from typist.h when it could not).
#include "typist.h"

namespace {

DWORD released = 0;

LRESULT CALLBACK Receiver(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_KEYUP && wp == 'A') released = ::GetTickCount();
    return ::DefWindowProcW(w, msg, wp, lp);
}

void Type(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &in, sizeof in);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR eventName, int) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Receiver;
    wc.hInstance = instance;
    wc.lpszClassName = L"TovnKeyTypist";
    ::RegisterClassW(&wc);
    HWND w = ::CreateWindowExW(0, wc.lpszClassName, L"Key Typist", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               10, 10, 200, 100, nullptr, nullptr, instance, nullptr);
    ::SetForegroundWindow(w);
    ::SetFocus(w);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    if (::GetForegroundWindow() != w) return static_cast<int>(tovn::test::kTypistNotInFront);
    tovn::UniqueKernel ready(::OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName));
    ::SetEvent(ready.get());
    ::Sleep(500);
    const DWORD typed = ::GetTickCount();
    Type('A', false);
    Type('A', true);
    while (!released && ::GetTickCount() - typed < 30000) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    return static_cast<int>(released ? released - typed : tovn::test::kTypistNeverGotTheKey);
}
