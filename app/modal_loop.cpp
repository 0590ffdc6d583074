#include "app/modal_loop.h"

namespace tovn {

namespace {

ShownHook& Hook() {
    static ShownHook hook;
    return hook;
}

bool InsideWindow(HWND target, HWND window) {
    return target && (target == window || ::IsChild(window, target));
}

} // namespace

ShownHook SetShownHook(ShownHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

void NotifyShown(HWND window) {
    if (!Hook()) return;
    ShownHook hook = Hook(); // the hook may replace itself
    hook(window);
}

LoopTurn RunLoopTurn(MSG& msg, const IdleStep& idle, bool wait, const MessageFilter& handled) {
    if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return LoopTurn::Quit;
        if (handled && handled(msg)) return LoopTurn::Dispatched;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        return LoopTurn::Dispatched;
    }
    if (idle && idle()) return LoopTurn::IdleWork;
    if (wait) ::WaitMessage();
    return LoopTurn::Idle;
}

void RunModalLoop(const ModalLoop& loop) {
    const bool ownerWasEnabled = loop.owner && ::IsWindowEnabled(loop.owner);
    if (ownerWasEnabled) ::EnableWindow(loop.owner, FALSE);
    if (loop.beforeShow) loop.beforeShow();
    ::ShowWindow(loop.window, SW_SHOW);
    ::SetForegroundWindow(loop.window);
    // Keys go to the window; a control of it that has the focus keeps it.
    if (!InsideWindow(::GetFocus(), loop.window)) ::SetFocus(loop.window);
    NotifyShown(loop.window);
    const MessageFilter keyPreview = [&loop](const MSG& msg) {
        const bool key = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
        return key && loop.preview && InsideWindow(msg.hwnd, loop.window) && loop.preview(msg);
    };
    MSG msg;
    while (!loop.done()) {
        if (RunLoopTurn(msg, loop.idle, true, keyPreview) != LoopTurn::Quit) continue;
        ::PostQuitMessage(static_cast<int>(msg.wParam)); // the outer loop must end too
        if (loop.cancel) loop.cancel();
        break;
    }
    // The owner is enabled before the window hides, so that it gets the activation back.
    if (ownerWasEnabled) ::EnableWindow(loop.owner, TRUE);
    ::ShowWindow(loop.window, SW_HIDE);
    if (!loop.owner) return;
    ::SetForegroundWindow(loop.owner);
    ::SetActiveWindow(loop.owner);
}

} // namespace tovn
