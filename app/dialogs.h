// The one seam for every modal interaction of the program: the beep, message boxes, input
// boxes and the chooser's answer. The production implementation shows the real dialogs;
// tests install a scripted one that answers and counts.
#pragma once
#include <windows.h>
#include <string>

namespace tovn {

// What the folder, archive and count chooser is opened with, and what it answers.
struct ChooserRequest {
    std::wstring purpose;    // "LHA", "Pack", "Dire", "Copy", "Move" or "Kazu"
    std::wstring currentDir; // start folder for LHA, Pack, Dire, Kazu (ends in "\")
    std::wstring copyDir;    // start folder for Copy and Move (ends in "\")
    std::wstring pluginMask; // "*.MAG;*.PI;" ...
    int dispCount = 6;       // preselected count
};
struct ChooserAnswer {
    std::wstring folder;      // no trailing "\" except for a drive root
    std::wstring archiveName; // "LHA" only: the selected file's name, may be empty
    int count = 1;            // 1..30
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The system's default beep (a refused command).
    virtual void Beep() = 0;
    // A message box; returns IDOK / IDCANCEL (flags as MessageBoxW: MB_OK, MB_OKCANCEL, icons).
    virtual int Message(HWND owner, const std::wstring& text, const std::wstring& caption,
                        UINT flags) = 0;
    // A modal input box; returns false on Cancel. text holds the default going in. A
    // maxLength other than 0 is the most characters the box lets the user type.
    virtual bool Input(HWND owner, const std::wstring& caption, const std::wstring& prompt,
                       std::wstring& text, size_t maxLength = 0) = 0;
    // The chooser (folder, archive, destination, count). Returns true for OK. The answer is
    // filled on every close, OK or not.
    virtual bool Choose(HWND owner, const ChooserRequest& request, ChooserAnswer& answer) = 0;
};

// A refused or failed command: the beep, then a message box with OK.
void Warn(HWND owner, const std::wstring& text, const std::wstring& caption);
// Beep and "ファイルを書き込めません．" naming the file, caption "Write Error".
void ReportWriteError(HWND owner, const std::wstring& path);

// The installed implementation (the real dialogs unless a test installed another).
Dialogs& CurrentDialogs();
// Installs d (nullptr: back to the real dialogs); returns the previous one.
Dialogs* InstallDialogs(Dialogs* d);

} // namespace tovn
