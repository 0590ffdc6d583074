// The program's message loops. One turn serves both the browser's main loop and the modal
// loop of the program's own windows (editor, part-save, slide viewer, macro window): a
// waiting message always goes first, and only an empty queue lets the window do one small
// piece of idle work. While a modal window runs its owner is disabled, and a key preview
// sees every key before the focused control.
#pragma once
#include <windows.h>
#include <functional>
#include <utility>

namespace tovn {

// One small piece of work done while no message waits (decoding a picture ahead); true when
// it did some, so that the loop looks at the queue and asks again, false when none is left.
using IdleStep = std::function<bool()>;

// True when the message was handled and must not be dispatched.
using MessageFilter = std::function<bool(const MSG&)>;

enum class LoopTurn { Quit, Dispatched, IdleWork, Idle };

// One turn of a message loop: takes a waiting message (WM_QUIT ends the turn as Quit),
// passes it to handled and dispatches it unless handled took it; with no message waiting,
// idle takes one step. With wait, a turn that found nothing to do sleeps until a message.
LoopTurn RunLoopTurn(MSG& msg, const IdleStep& idle, bool wait,
                     const MessageFilter& handled = nullptr);

// True when the key was handled and must not reach the control.
using KeyPreview = MessageFilter;

// A modal window and what its loop asks of it.
struct ModalLoop {
    ModalLoop(HWND window, HWND owner, std::function<bool()> done, std::function<void()> cancel)
        : window(window), owner(owner), done(std::move(done)), cancel(std::move(cancel)) {}

    HWND window;
    HWND owner;
    std::function<bool()> done;   // true once the window has closed
    std::function<void()> cancel; // closes the window as cancelled when WM_QUIT arrives
    // Optional: the window's first content, laid out once the owner is disabled and
    // before the window shows.
    std::function<void()> beforeShow;
    KeyPreview preview; // optional: sees the keys sent to the window or its controls
    IdleStep idle;      // optional
};

// Shows the window over its owner and runs its messages until done. The owner is disabled
// meanwhile and enabled again before the window hides, so that it gets the activation
// back. WM_QUIT cancels the window and is posted again for the loop outside.
void RunModalLoop(const ModalLoop& loop);

// Called with a modal window of the program's (its own windows and its dialogs) once it is
// shown: how a test reaches a window while it is modal. Installs the hook (empty removes
// it); returns the previous one.
using ShownHook = std::function<void(HWND)>;
ShownHook SetShownHook(ShownHook hook);
// Runs the hook, if any, with window.
void NotifyShown(HWND window);

} // namespace tovn
