#include "app/wait_window.h"
#include "win/handles.h"
#include "win/window.h"
#include <memory>

namespace tovn {

namespace {

constexpr int kClientWidth = 253;
constexpr int kClientHeight = 61;

std::wstring text;
UniqueFont titleFont;
UniqueFont lineFont;

void PaintCentred(HDC dc, HFONT font, const std::wstring& s, RECT r) {
    SelectIn keep(dc, font);
    ::DrawTextW(dc, s.c_str(), static_cast<int>(s.size()), &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void Paint(HWND w) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(w, &ps);
    RECT r;
    ::GetClientRect(w, &r);
    ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    RECT panel = {r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    ::DrawEdge(dc, &panel, BDR_SUNKENOUTER, BF_RECT);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    RECT top = {panel.left, panel.top, panel.right, panel.top + 30};
    RECT bottom = {panel.left, panel.top + 30, panel.right, panel.bottom};
    PaintCentred(dc, static_cast<HFONT>(titleFont.get()), L"Please Wait !!", top);
    PaintCentred(dc, static_cast<HFONT>(lineFont.get()), text, bottom);
    ::EndPaint(w, &ps);
}

class WaitForm final : public Window {
public:
    void Create(HINSTANCE instance, int x, int y) {
        CreateHandle(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"TfrmWait", L"", WS_POPUP, x, y,
                     kClientWidth, kClientHeight, nullptr, instance);
    }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_PAINT:
            Paint(hwnd_);
            return 0;
        case WM_SETCURSOR:
            ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        return Window::HandleMessage(msg, wp, lp);
    }
};

std::unique_ptr<WaitForm> form;

HWND WindowOfForm() {
    return form ? form->Handle() : nullptr;
}

UniqueFont MakeFont(int height) {
    return UniqueFont(::CreateFontW(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                                    0, L"MS UI Gothic"));
}

} // namespace

void WaitWindow::Create(HINSTANCE instance) {
    if (form) return;
    WNDCLASSW wc = {};
    wc.hInstance = instance;
    wc.lpszClassName = L"TfrmWait";
    wc.hCursor = ::LoadCursor(nullptr, IDC_WAIT);
    Window::RegisterClass(wc);
    titleFont = MakeFont(20);
    lineFont = MakeFont(17);
    int x = (::GetSystemMetrics(SM_CXSCREEN) - kClientWidth) / 2;
    int y = (::GetSystemMetrics(SM_CYSCREEN) - kClientHeight) / 2;
    form = std::make_unique<WaitForm>();
    form->Create(instance, x, y);
}

void WaitWindow::Destroy() {
    form.reset();
}

HWND WaitWindow::Handle() {
    return WindowOfForm();
}
std::wstring WaitWindow::Text() {
    return text;
}

void ShowWaiting(const std::wstring& newText, HWND returnWindow) {
    if (!newText.empty()) {
        text = newText;
        HWND window = WindowOfForm();
        if (!window) return;
        ::ShowWindow(window, SW_SHOWNOACTIVATE);
        ::InvalidateRect(window, nullptr, TRUE);
        ::UpdateWindow(window);
        return;
    }
    if (HWND window = WindowOfForm()) ::ShowWindow(window, SW_HIDE);
    if (returnWindow) {
        ::SetForegroundWindow(returnWindow);
        ::SetActiveWindow(returnWindow);
    }
}

} // namespace tovn
