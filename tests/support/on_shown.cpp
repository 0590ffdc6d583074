#include "support/on_shown.h"

namespace tovn::test {

OnShown::OnShown(std::function<void(HWND)> body) {
    auto calls = calls_;
    previous_ = SetShownHook([body, calls](HWND w) {
        ++*calls;
        body(w);
    });
}

OnShown::~OnShown() {
    SetShownHook(previous_);
}

int TakeQuit() {
    MSG msg{};
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
        ::DispatchMessageW(&msg);
    }
    return -1;
}

} // namespace tovn::test
