#include <windows.h>
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    MessageBoxW(nullptr, L"テスト", L"Tovane 32", MB_OK);
    return 0;
}
