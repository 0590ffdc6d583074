// The modal loop of the program's own windows (editor, part-save): the owner is disabled
// while the window runs, and a key preview sees every key before the focused control.
#pragma once
#include <windows.h>
#include <functional>

namespace tovn {

// True when the key was handled and must not reach the control.
using KeyPreview = std::function<bool(const MSG&)>;

// Shows window over owner and dispatches messages until done is set.
void RunModalLoop(HWND window, HWND owner, const bool& done, const KeyPreview& preview);

// Called with the window once it is shown, before the loop runs: how a test reaches a
// window while it is modal. Installs the hook (empty removes it); returns the previous one.
using ModalShownHook = std::function<void(HWND)>;
ModalShownHook SetModalShownHook(ModalShownHook hook);

} // namespace tovn
