// Another program for the end-to-end capture test: one window, titled "Capture Pattern",
// whose client area shows the known pattern. Arguments: left top width height.
#include "pattern.h"
#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int v[4] = {500, 300, 160, 120};
    for (int i = 0; i < 4 && i + 1 < __argc; ++i) v[i] = std::atoi(__argv[i + 1]);
    HWND w = tovn::test::CreatePatternWindow(L"Capture Pattern", v[0], v[1], v[2], v[3]);
    ::SetPropW(w, L"QuitOnClose", reinterpret_cast<HANDLE>(1));
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    return 0;
}
