// Wall-clock timing and medians shared by the Win32 benchmarks.
#pragma once
#include <windows.h>
#include <algorithm>
#include <functional>
#include <vector>

namespace tovn::bench {

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
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace tovn::bench
