// A macro run over the browser's targets: expanded into its batch file beside the program
// and run through the command interpreter, or started directly as a program; in archive
// mode on extracted copies that go back into the archive afterwards.
#pragma once
#include <windows.h>
#include <string>

namespace tovn {

class BrowserPort;

// Runs macro (ANSI text, as the macro file holds it); window owns any message. True when
// the run has ended; false when the batch file could not be written or started.
bool RunMacro(BrowserPort& w, HWND window, const std::string& macro);

// Beep and a message box saying that path could not be written.
void ReportUnwritable(HWND window, const std::wstring& path);

} // namespace tovn
