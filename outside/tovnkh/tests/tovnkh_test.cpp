// TovnKH.dll loaded by name and bound entry by entry, as a program uses it; keys typed
// through the system's input reach the window given to SetHook as WM_USER messages.
#include "tovnkh.h"
#include "typist.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct KeyMessage {
    WPARAM vk;
    DWORD flags;
};

std::vector<KeyMessage> received;

LRESULT CALLBACK Receiver(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_USER) {
        received.push_back({wp, static_cast<DWORD>(lp)});
        return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

class Hook : public ::testing::Test {
protected:
    Hook() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Receiver;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TovnKHTestReceiver";
        RegisterClassW(&wc);
        window = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                 nullptr, wc.hInstance, nullptr);
        received.clear();
    }
    ~Hook() override {
        if (removeHook) removeHook();
        if (module) FreeLibrary(module);
        DestroyWindow(window);
    }

    void Load() {
        module = LoadLibraryW(L"TovnKH.dll");
        ASSERT_NE(module, nullptr);
        setHook = reinterpret_cast<SetHookProc>(
            reinterpret_cast<void*>(GetProcAddress(module, "SetHook")));
        removeHook = reinterpret_cast<RemoveHookProc>(
            reinterpret_cast<void*>(GetProcAddress(module, "RemoveHook")));
        ASSERT_NE(setHook, nullptr);
        ASSERT_NE(removeHook, nullptr);
    }

    static void Send(WORD vk, bool up) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &in, sizeof in);
    }

    // Dispatches messages until `count` hook messages arrived or two seconds passed.
    static void WaitFor(size_t count) {
        DWORD end = GetTickCount() + 2000;
        while (received.size() < count && GetTickCount() < end) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
    }

    HWND window = nullptr;
    HMODULE module = nullptr;
    SetHookProc setHook = nullptr;
    RemoveHookProc removeHook = nullptr;
};

constexpr DWORD kReleased = 1u << 31, kWasDown = 1u << 30;

TEST_F(Hook, ForwardsPressRepeatAndReleaseWithKeyboardHookFlags) {
    Load();
    ASSERT_TRUE(setHook(window));
    Send(VK_F15, false);
    Send(VK_F15, false); // held: the key repeats
    Send(VK_F15, true);
    Send('A', false);
    Send('A', true);
    WaitFor(5);
    ASSERT_EQ(received.size(), 5u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(received[i].vk, static_cast<WPARAM>(VK_F15));
    EXPECT_EQ(received[0].flags & (kReleased | kWasDown), 0u);
    EXPECT_EQ(received[1].flags & (kReleased | kWasDown), kWasDown);
    EXPECT_EQ(received[2].flags & (kReleased | kWasDown), kReleased | kWasDown);
    for (const KeyMessage& m : received) EXPECT_EQ(m.flags & 0xFFFF, 1u); // repeat count
    EXPECT_EQ(received[3].vk, static_cast<WPARAM>('A'));
    EXPECT_EQ(received[4].flags & kReleased, kReleased);
}

TEST_F(Hook, RemoveHookStopsTheMessagesAndSetHookWorksAgain) {
    Load();
    ASSERT_TRUE(setHook(window));
    removeHook();
    Send(VK_F15, false);
    Send(VK_F15, true);
    WaitFor(1);
    EXPECT_TRUE(received.empty());
    ASSERT_TRUE(setHook(window));
    Send(VK_F15, false);
    Send(VK_F15, true);
    WaitFor(2);
    EXPECT_EQ(received.size(), 2u);
}

TEST_F(Hook, RefusesAHandleThatIsNoWindow) {
    Load();
    EXPECT_FALSE(setHook(nullptr));
    HWND gone =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_FALSE(setHook(gone));
}

// The hook runs in a thread of its own: while the thread that set it is busy for seconds,
// keys typed into another program reach it at once, and their messages wait in the queue.
TEST_F(Hook, KeysOfOtherProgramsArriveAtOnceWhileTheCallersThreadIsBusy) {
    Load();
    ASSERT_TRUE(setHook(window));
    const DWORD delay = tovn::test::TypeFromAnotherProgramWhileBusy(4000);
    EXPECT_LT(delay, 2000u); // half the busy time: a held-up key waits all of it
    WaitFor(2);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].vk, static_cast<WPARAM>('A'));
    EXPECT_EQ(received[1].flags & kReleased, kReleased);
}

// Freed while its hook is set, the library stays loaded: its hook thread holds it until the
// hook is removed, so the system never calls code that is gone.
TEST_F(Hook, AFreedLibraryKeepsItsCodeUntilItsHookIsRemoved) {
    Load();
    ASSERT_TRUE(setHook(window));
    FreeLibrary(module);
    module = nullptr;
    EXPECT_NE(GetModuleHandleW(L"TovnKH.dll"), nullptr);
    Send(VK_F15, false);
    Send(VK_F15, true);
    WaitFor(2);
    EXPECT_EQ(received.size(), 2u);
    Load(); // the same library, a reference again
    removeHook();
    FreeLibrary(module);
    module = nullptr;
    removeHook = nullptr;
    EXPECT_EQ(GetModuleHandleW(L"TovnKH.dll"), nullptr);
}

} // namespace
