// TovnKH.dll: a system-wide keyboard hook that forwards key events to one window.
//
// SetHook(window) installs the hook and returns TRUE (FALSE when window is not a window or
// the system refuses the hook). From then on every key event of the session reaches window
// as a posted WM_USER message:
//   wParam  the virtual-key code
//   lParam  the flags a keyboard hook receives: bits 0-15 repeat count (1), 16-23 scan code,
//           24 extended key, 29 Alt held, 30 the key was down before, 31 the key is released.
// RemoveHook() stops the messages. Both use the standard Windows calling convention.
#pragma once
#include <windows.h>

typedef BOOL(WINAPI* SetHookProc)(HWND window);
typedef void(WINAPI* RemoveHookProc)();
