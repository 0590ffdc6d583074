#include "app/modal_loop.h"
#include <utility>

namespace tovn {

namespace {

ModalShownHook& Hook() {
    static ModalShownHook hook;
    return hook;
}

bool InsideWindow(HWND target, HWND window) {
    return target == window || ::IsChild(window, target);
}

} // namespace

ModalShownHook SetModalShownHook(ModalShownHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

void RunModalLoop(HWND window, HWND owner, const bool& done, const KeyPreview& preview) {
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
    if (Hook()) {
        ModalShownHook hook = Hook(); // the hook may replace itself
        hook(window);
    }
    MSG msg;
    while (!done) {
        if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam)); // the outer loop must end too
            break;
        }
        const bool key = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
        if (key && preview && InsideWindow(msg.hwnd, window) && preview(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    // The owner is enabled before the window hides, so that it gets the activation back.
    if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
    ::ShowWindow(window, SW_HIDE);
    if (owner) ::SetActiveWindow(owner);
}

} // namespace tovn
