// Another program types a key while this thread is busy and does not look at its messages,
// as the program's window thread is while it paints a page. The key must reach the other
// program at once: a keyboard hook that this thread had to serve would hold it up.
#pragma once
#include "win/handles.h"
#include <string>

namespace tovn::test {

constexpr DWORD kTypistNeverGotTheKey = 100000, kTypistNotInFront = 100001;

// Starts key_typist.exe (beside this program), stays busy for busyMs once its window is in
// front, and returns how many milliseconds its key took to arrive (or one of the codes above).
inline DWORD TypeFromAnotherProgramWhileBusy(DWORD busyMs) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring exe = self;
    exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"key_typist.exe";
    const std::wstring eventName = L"TovnTypistReady" + std::to_wstring(::GetCurrentProcessId());
    UniqueKernel ready(::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    std::wstring command = L"\"" + exe + L"\" " + eventName;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return kTypistNeverGotTheKey;
    UniqueKernel process(pi.hProcess), thread(pi.hThread);
    if (::WaitForSingleObject(ready.get(), 20000) == WAIT_OBJECT_0) ::Sleep(busyMs);
    ::WaitForSingleObject(process.get(), 60000);
    DWORD code = kTypistNeverGotTheKey;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

} // namespace tovn::test
