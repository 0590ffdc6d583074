#pragma once
#include "core/browser_state.h"
#include <string>

// A browser state with files named F0, F1, ... ("" for an empty slot where holes says so).
inline tovn::BrowserState StateWith(int files, int n, std::wstring holes = L"") {
    tovn::BrowserState s;
    s.SetDispCountValue(n);
    for (int i = 0; i < files; ++i) {
        bool hole = i < static_cast<int>(holes.size()) && holes[i] == L'_';
        s.FileList.push_back({hole ? L"" : L"F" + std::to_wstring(i), 0});
    }
    s.CurrentDir = L"C:\\PICS\\";
    return s;
}
