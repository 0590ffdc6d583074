// How every test reaches a modal window of the program's (its own windows and its dialogs)
// while the window's loop runs: through the shown hook, for one scope.
#pragma once
#include "app/modal_loop.h"
#include <windows.h>
#include <functional>
#include <memory>

namespace tovn::test {

// Runs body with the window each time a modal window is shown while this lives.
class OnShown {
public:
    explicit OnShown(std::function<void(HWND)> body);
    ~OnShown();
    OnShown(const OnShown&) = delete;
    OnShown& operator=(const OnShown&) = delete;
    int Calls() const { return *calls_; }

private:
    std::shared_ptr<int> calls_ = std::make_shared<int>(0);
    ShownHook previous_;
};

// Dispatches what waits in the queue up to the WM_QUIT a modal loop left for the loop
// outside, and takes it: its exit code, or -1 when there was none.
int TakeQuit();

} // namespace tovn::test
