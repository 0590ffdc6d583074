// The window base attaches its object before the first messages, and the grid image gives
// back every GDI object it made.
#include "browser/grid_image.h"
#include "win/window.h"
#include <gtest/gtest.h>
#include <vector>

namespace tovn {
namespace {

class Recorder final : public Window {
public:
    static void Register() {
        WNDCLASSW wc = {};
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TovnWindowTestRecorder";
        Window::RegisterClass(wc);
    }
    bool Create() {
        return CreateHandle(0, L"TovnWindowTestRecorder", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                            nullptr, ::GetModuleHandleW(nullptr)) != nullptr;
    }
    std::vector<UINT> seen;
    int lastWidth = -1;
    bool ncDestroyed = false;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        seen.push_back(msg);
        if (msg == WM_SIZE) lastWidth = LOWORD(lp);
        if (msg == WM_NCDESTROY) ncDestroyed = true;
        return Window::HandleMessage(msg, wp, lp);
    }
};

bool Saw(const Recorder& r, UINT msg) {
    for (UINT m : r.seen)
        if (m == msg) return true;
    return false;
}

TEST(WindowBase, CreationMessagesReachTheObjectAndDestructionDetachesIt) {
    Recorder::Register();
    Recorder r;
    ASSERT_TRUE(r.Create());
    HWND handle = r.Handle();
    EXPECT_TRUE(Saw(r, WM_NCCREATE));
    EXPECT_TRUE(Saw(r, WM_CREATE));
    ::ShowWindow(handle, SW_SHOW);
    ::SetWindowPos(handle, nullptr, 0, 0, 300, 150, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(Saw(r, WM_SIZE));
    EXPECT_GT(r.lastWidth, 0);

    ::DestroyWindow(handle);
    EXPECT_TRUE(r.ncDestroyed);
    EXPECT_EQ(r.Handle(), nullptr);
    EXPECT_FALSE(::IsWindow(handle));
}

TEST(WindowBase, ObjectGoneFirstDestroysItsWindow) {
    Recorder::Register();
    HWND handle = nullptr;
    {
        Recorder r;
        ASSERT_TRUE(r.Create());
        handle = r.Handle();
    }
    EXPECT_FALSE(::IsWindow(handle));
}

TEST(GridImage, HundredImagesGiveBackEveryGdiObject) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    GridImage::Register(instance);
    Recorder::Register();
    Recorder parent;
    ASSERT_TRUE(parent.Create());
    const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    std::vector<HGDIOBJ> bitmaps;
    for (int i = 0; i < 100; ++i) {
        GridImage image;
        image.Create(parent.Handle(), instance);
        image.SetBounds(0, 0, 64 + i, 48);
        image.SetBounds(0, 0, 4000 + i, 60); // wider than the screen: a new bitmap
        bitmaps.push_back(::GetCurrentObject(image.Canvas(), OBJ_BITMAP));
    }
    // Each image's last bitmap must be gone with it, not left selected into a dead DC.
    for (HGDIOBJ b : bitmaps) EXPECT_EQ(::GetObjectType(b), 0u);
    EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), before);
}

} // namespace
} // namespace tovn
