// The one seam for every modal interaction of the program: the beep, message boxes, input
// boxes and the chooser's answer. The production implementation shows the real dialogs;
// tests install a scripted one that answers and counts.
#pragma once
#include <windows.h>
#include <string>

namespace tovn {

struct ChooserAnswer;

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The system's default beep (a refused command).
    virtual void Beep() = 0;
    // A message box; returns IDOK / IDCANCEL (flags as MessageBoxW: MB_OK, MB_OKCANCEL, icons).
    virtual int Message(HWND owner, const std::wstring& text, const std::wstring& caption,
                        UINT flags) = 0;
    // A modal input box; returns false on Cancel. text holds the default going in.
    virtual bool Input(HWND owner, const std::wstring& caption, const std::wstring& prompt,
                       std::wstring& text) = 0;
};

// The installed implementation (the real dialogs unless a test installed another).
Dialogs& CurrentDialogs();
// Installs d (nullptr: back to the real dialogs); returns the previous one.
Dialogs* InstallDialogs(Dialogs* d);

} // namespace tovn
