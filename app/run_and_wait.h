// Starts a batch file or program and waits for its end while the program's windows keep
// painting and answering: messages are dispatched between short waits.
#pragma once
#include <windows.h>
#include <string>

namespace tovn {

struct RunResult {
    bool started = false; // CreateProcessA succeeded
    DWORD exitCode = 0;   // valid when started
    DWORD error = 0;      // GetLastError when not started
};

// Runs commandLine (ANSI, as the command interpreter sees it) in folder (empty: the
// current folder). The window shows as showCommand (SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, ...).
RunResult RunAndWait(const std::string& commandLine, const std::string& folder = {},
                     int showCommand = SW_SHOWNORMAL);

// True while a RunAndWait call is waiting (a second run must not start then).
bool RunAndWaitBusy();

} // namespace tovn
