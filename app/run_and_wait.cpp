#include "app/run_and_wait.h"
#include "win/handles.h"
#include <vector>

namespace tovn {

namespace {
bool busy = false;

void DispatchPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The loop that called us must still see it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}
} // namespace

bool RunAndWaitBusy() {
    return busy;
}

RunResult RunAndWait(const std::string& commandLine, const std::string& folder, int showCommand) {
    RunResult result;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE,
                          nullptr, folder.empty() ? nullptr : folder.c_str(), &si, &pi)) {
        result.error = ::GetLastError();
        return result;
    }
    UniqueKernel process(pi.hProcess);
    UniqueKernel thread(pi.hThread);
    result.started = true;
    busy = true;
    for (;;) {
        DWORD woken = ::MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 100, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) break;
        DispatchPending();
    }
    busy = false;
    ::GetExitCodeProcess(pi.hProcess, &result.exitCode);
    return result;
}

} // namespace tovn
