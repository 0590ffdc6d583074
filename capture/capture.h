// Capture mode: the keyboard hook library TovnKH.dll, loaded while capture mode is on, and
// the capture its hot-key message triggers: the foreground window's client area saved as
// the next numbered BMP file of the folder and shown in the grid at once.
#pragma once
#include "app/result.h"
#include "win/handles.h"
#include <windows.h>
#include <string>

namespace tovn {

class BrowserPort;

class Capture {
public:
    explicit Capture(BrowserPort& browser, std::wstring hookLibrary = L"TovnKH.dll");
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    // The menu item N6: turns capture mode on or off. Its sound and the modes that refuse
    // it are the command table's.
    void N6Click();
    // WM_USER from the hook library: a capture on the release of CaptureKey.
    void HookMessage(WPARAM key, LPARAM flags);
    // The hook removed and the library freed (capture mode off, the main window closing).
    void UnloadHook();

    bool HookSet() const { return hookSet_; }
    bool HookLoaded() const { return static_cast<bool>(hookLib_); }

private:
    using SetHookFn = BOOL(WINAPI*)(HWND);
    using RemoveHookFn = void(WINAPI*)();

    Result LoadHook();
    Result InstallHook();
    void RemoveHookIfSet();
    Result TakeCapture();
    Result SaveCapture(std::wstring& name);
    void ShowNewSlot(int slot);

    BrowserPort& browser_;
    std::wstring hookLibrary_;
    UniqueModule hookLib_;
    bool hookSet_ = false;
    SetHookFn setHookProc_ = nullptr;
    RemoveHookFn removeHookProc_ = nullptr;
};

} // namespace tovn
