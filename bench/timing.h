// What the Win32 benchmarks share: wall-clock timing, medians, and the folder they run in.
#pragma once
#include <windows.h>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace tovn::bench {

// Milliseconds work takes.
inline double Ms(const std::function<void()>& work) {
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    work();
    ::QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The folder the benchmark was built into, ending in "\\".
inline std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder;
}

// The plug-ins are found in the current folder: the program's.
inline void EnterProgramFolder() {
    ::SetCurrentDirectoryW(ProgramFolder().c_str());
}

} // namespace tovn::bench
