// A hook library whose system refuses the hook: SetHook answers FALSE.
#include <windows.h>

extern "C" BOOL WINAPI SetHook(HWND) {
    return FALSE;
}
extern "C" void WINAPI RemoveHook() {}
