// Capture mode in the real main window: the menu item, the real TovnKH.dll and keys typed
// through the system's input, a window of known pattern in front, and the BMP files the
// captures leave in the folder. Runs on a true-colour and on a 256-colour screen.
#include "app/win_text.h"
#include "browser/menu.h"
#include "capture/capture.h"
#include "imaging/bmp.h"
#include "pattern.h"
#include "support/browser_fixture.h"
#include "typist.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace tovn;
using namespace tovn::test;

namespace {

constexpr int kLeft = 600, kTop = 420, kWidth = 120, kHeight = 90;

std::vector<uint8_t> ReadAll(const std::wstring& path) {
    std::ifstream in(ToAnsi(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The colour a BMP file shows at (x, y), counted from the top row.
COLORREF BmpColour(const std::vector<uint8_t>& file, const bmp::DibLayout& d, int x, int y) {
    const uint8_t* row = file.data() + d.bitsOffset + (d.height - 1 - y) * d.stride;
    if (d.bitCount == 24) return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    const uint8_t* entry = file.data() + d.infoOffset + 40 + row[x] * 4;
    return RGB(entry[2], entry[1], entry[0]);
}

int ScreenBits() {
    HDC dc = ::GetDC(nullptr);
    int bits = ::GetDeviceCaps(dc, BITSPIXEL);
    ::ReleaseDC(nullptr, dc);
    return bits;
}

class CaptureMode : public BrowserFixture {
protected:
    ~CaptureMode() override {
        if (pattern) ::DestroyWindow(pattern);
    }

    void StartInFront(int files = 3) {
        PutIni(L"Window", L"Img", L"2");
        MakePictures(files);
        Start();
        // The run on the 256-colour screen says so, lest it quietly test a deeper one.
        if (const char* bits = std::getenv("TOVN_SCREEN_BITS"))
            ASSERT_EQ(ScreenBits(), std::atoi(bits));
        pattern = CreatePatternWindow(L"Pattern", kLeft, kTop, kWidth, kHeight);
        ::SetForegroundWindow(pattern);
        Pump();
    }
    void N6() {
        ::SendMessageW(w().Handle(), WM_COMMAND, idN6, 0);
        Pump();
    }
    static void Send(WORD vk, bool up) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        ::SendInput(1, &in, sizeof in);
    }
    // Keys typed, then the messages of the next half second dispatched.
    void Type(WORD vk, int presses = 1, bool release = true) {
        for (int i = 0; i < presses; ++i) Send(vk, false);
        if (release) Send(vk, true);
        DWORD end = ::GetTickCount() + 500;
        while (::GetTickCount() < end) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            Pump();
        }
    }
    // The capture file checked against the pattern, pixel by pixel.
    void ExpectPatternIn(const std::wstring& name) {
        std::vector<uint8_t> file = ReadAll(pictures / name);
        auto d = bmp::ParseBmpFile(file.data(), file.size());
        ASSERT_TRUE(d) << "no BMP " << ToAnsi(name);
        ASSERT_EQ(d->width, kWidth);
        ASSERT_EQ(d->height, kHeight);
        EXPECT_EQ(d->bitCount, ScreenBits() <= 8 ? 8 : 24);
        if (d->bitCount == 8) EXPECT_EQ(d->colorCount, 256u);
        int wrong = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                wrong += BmpColour(file, *d, x, y) != PatternColour(x, y, kWidth, kHeight);
        EXPECT_EQ(wrong, 0);
    }
    // Capture mode stayed off, and the one new message box said text under caption.
    void ExpectRefused(size_t messages, const std::wstring& text, const std::wstring& caption) {
        EXPECT_FALSE(st().CaptureMode);
        ASSERT_EQ(dialogs.messages.size(), messages);
        EXPECT_EQ(dialogs.messages.back().text, text);
        EXPECT_EQ(dialogs.messages.back().caption, caption);
    }
    std::wstring LastSlot() { return st().FileList.empty() ? L"" : st().FileList.back().name; }

    HWND pattern = nullptr;
};

TEST_F(CaptureMode, TheMenuTurnsItOnAndTheKeysReleaseCapturesTheForegroundWindow) {
    StartInFront();
    N6();
    ASSERT_TRUE(st().CaptureMode);
    EXPECT_EQ(Status(0), L"Capture");
    EXPECT_EQ(::GetMenuState(::GetMenu(w().Handle()), idN6, MF_BYCOMMAND) & MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(::GetForegroundWindow(), pattern);

    Type(VK_F15, 1, false); // pressed only
    EXPECT_FALSE(FileExists(pictures / L"TOVN_000.BMP"));
    Type(VK_F15, 3); // still held (the key repeats), then released: one capture
    ExpectPatternIn(L"TOVN_000.BMP");
    EXPECT_FALSE(FileExists(pictures / L"TOVN_001.BMP"));
    EXPECT_EQ(dialogs.beeps, 2);
    ASSERT_EQ(st().FileList.size(), 4u);
    EXPECT_EQ(LastSlot(), L"TOVN_000.BMP");
    EXPECT_EQ(st().FileList.back().mark, 0);
    EXPECT_EQ(Status(1), L"Disp : 2*2(2)");
    // The fourth cell of the page shows the capture at once (no longer the empty grey).
    int cw = st().CellWidth, ch = st().CellHeight;
    EXPECT_NE(Pixel(cw + cw / 2, ch + ch / 2), RGB(128, 128, 128));
    EXPECT_EQ(st().PageCells[4].name, L"TOVN_000.BMP");

    Type(VK_F14); // another key
    Type('A');
    EXPECT_EQ(st().FileList.size(), 4u);
    EXPECT_EQ(dialogs.beeps, 2);
    Type(VK_F15);
    EXPECT_EQ(LastSlot(), L"TOVN_001.BMP");
    ExpectPatternIn(L"TOVN_001.BMP");
    EXPECT_EQ(Status(2), L"Page : 1/2"); // the fifth file opened a page
    EXPECT_TRUE(dialogs.messages.empty());
}

// The capture lands on the empty list's first slot, under the cursor: its cell shows with
// the cursor band over it, as any other cell does.
TEST_F(CaptureMode, ACaptureUnderTheCursorShowsWithTheCursorBand) {
    StartInFront(0);
    N6();
    Type(VK_F15);
    ASSERT_EQ(LastSlot(), L"TOVN_000.BMP");
    ASSERT_EQ(st().CursorCell, 1);
    EXPECT_EQ(st().PageCells[1].name, L"TOVN_000.BMP");
    ExpectGridShowsBands();
}

// While the window thread is busy for seconds (a page of large pictures painting), keys
// typed into another program are not held up by the capture hook, and the capture key
// still captures afterwards.
TEST_F(CaptureMode, ABusyWindowHoldsUpNoOtherProgramsKeysAndCapturesAfterwards) {
    StartInFront();
    N6();
    ASSERT_TRUE(st().CaptureMode);
    EXPECT_LT(TypeFromAnotherProgramWhileBusy(4000), 2000u); // a held-up key waits all 4 s
    // The other program's window leaves the front as it ends; bring the pattern back.
    for (DWORD end = ::GetTickCount() + 3000;
         ::GetForegroundWindow() != pattern && ::GetTickCount() < end;) {
        ::SetForegroundWindow(pattern);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        Pump();
    }
    ASSERT_EQ(::GetForegroundWindow(), pattern);
    Type(VK_F15);
    EXPECT_EQ(LastSlot(), L"TOVN_000.BMP");
    ExpectPatternIn(L"TOVN_000.BMP");
}

TEST_F(CaptureMode, TheFirstFreeNumberIsUsedAndGrowsPastNineHundredNinetyNine) {
    StartInFront();
    pictures.MakeFile(L"TOVN_001.BMP");
    N6();
    Type(VK_F15);
    EXPECT_EQ(LastSlot(), L"TOVN_000.BMP");
    Type(VK_F15);
    EXPECT_EQ(LastSlot(), L"TOVN_002.BMP");
    for (int n = 3; n < 1000; ++n) {
        wchar_t name[32];
        swprintf(name, 32, L"TOVN_%03d.BMP", n);
        pictures.MakeFile(name);
    }
    Type(VK_F15);
    EXPECT_EQ(LastSlot(), L"TOVN_1000.BMP");
    ExpectPatternIn(L"TOVN_1000.BMP");
}

TEST_F(CaptureMode, TheCaptureKeyAndPrefixComeFromTheSettings) {
    PutIni(L"Capture", L"Key", L"120"); // F9
    PutIni(L"Capture", L"FileName", L"SHOT");
    StartInFront();
    N6();
    Type(VK_F15);
    EXPECT_EQ(st().FileList.size(), 3u);
    Type(VK_F9);
    EXPECT_EQ(LastSlot(), L"SHOT000.BMP");
    ExpectPatternIn(L"SHOT000.BMP");
}

TEST_F(CaptureMode, OffAndOnAgainKeepsWorkingAndOffStopsCaptures) {
    StartInFront();
    N6();
    N6();
    EXPECT_FALSE(st().CaptureMode);
    EXPECT_EQ(Status(0), L"Normal");
    EXPECT_EQ(::GetMenuState(::GetMenu(w().Handle()), idN6, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(::GetModuleHandleW(L"TovnKH.dll"), nullptr);
    Type(VK_F15);
    EXPECT_EQ(st().FileList.size(), 3u);
    N6();
    Type(VK_F15);
    EXPECT_EQ(LastSlot(), L"TOVN_000.BMP");
    EXPECT_EQ(dialogs.beeps, 4);
}

TEST_F(CaptureMode, ClosingTheWindowRemovesTheHookAndFreesTheLibrary) {
    StartInFront();
    N6();
    ASSERT_NE(::GetModuleHandleW(L"TovnKH.dll"), nullptr);
    Close();
    EXPECT_EQ(::GetModuleHandleW(L"TovnKH.dll"), nullptr);
    Type(VK_F15);
    EXPECT_FALSE(FileExists(pictures / L"TOVN_000.BMP"));
}

TEST_F(CaptureMode, BlocksLetterCommandsOptionsAndSortMode) {
    StartInFront();
    N6();
    Key('D'); // delete would ask; capture mode ignores the letter commands
    Key('S');
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(FileExists(pictures / L"P01.BMP"));
    Key(VK_RIGHT); // navigation still works
    EXPECT_EQ(CursorName(), L"P02.BMP");
    int beeps = dialogs.beeps;
    ::SendMessageW(w().Handle(), WM_COMMAND, idO1, 0); // options: a beep only
    ::SendMessageW(w().Handle(), WM_COMMAND, idN5, 0); // sort mode: a beep only
    Pump();
    EXPECT_EQ(dialogs.beeps, beeps + 2);
    EXPECT_FALSE(st().SortMode);
    EXPECT_EQ(Status(0), L"Capture");
}

TEST_F(CaptureMode, RefusedInSortModeAndInLhaMode) {
    StartInFront();
    ::SendMessageW(w().Handle(), WM_COMMAND, idN5, 0); // sort mode on
    Pump();
    ASSERT_TRUE(st().SortMode);
    N6();
    ExpectRefused(1, L"ソートモード中は，キャプチャー出来ません．", L"Capture Mode");
    EXPECT_EQ(::GetModuleHandleW(L"TovnKH.dll"), nullptr);

    st().SortMode = false;
    st().SortList.reset();
    EnterArchive(L"ARC.LZH");
    N6();
    ExpectRefused(2, L"LHAモード中は，キャプチャー出来ません．", L"Capture Mode");
}

TEST_F(CaptureMode, AMissingLibraryOrEntryOrARefusedHookLeavesItOff) {
    StartInFront();
    for (const wchar_t* library : {L"NOSUCHKH.DLL", L"HUEDEN32.DLL"}) {
        Capture capture(core(), library);
        dialogs.messages.clear();
        capture.N6Click();
        EXPECT_FALSE(capture.HookSet());
        ExpectRefused(1, L"TovnKH.DLLのロードに失敗しました．", L"Can not Load TovnKH.DLL.");
        EXPECT_EQ(Status(0), L"Normal");
    }
    Capture refused(core(), L"FailHook.dll");
    dialogs.messages.clear();
    refused.N6Click();
    ExpectRefused(1, L"SetHook failed", L"Tovane 32");
}

TEST_F(CaptureMode, AFolderThatCannotBeWrittenGivesAnErrorAndLeavesTheList) {
    StartInFront();
    N6();
    EnterFolder(pictures / L"gone\\");
    Type(VK_F15);
    EXPECT_EQ(st().FileList.size(), 3u);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"Tovane 32");
    EXPECT_NE(dialogs.messages[0].text.find(L"TOVN_000.BMP"), std::wstring::npos);
}

} // namespace

namespace {

TEST_F(CaptureMode, AFailedHookOrWriteBeepsThenShowsTheStandardErrorBox) {
    StartInFront();
    struct Case {
        const wchar_t* library;
        std::vector<std::wstring> events;
    };
    // The toggle alone: the command's own beep before it is the dispatcher's (the menu cases
    // of the command table test).
    const Case cases[] = {
        {L"NOSUCHKH.DLL",
         {L"beep", L"Can not Load TovnKH.DLL.: TovnKH.DLLのロードに失敗しました．"}},
        {L"FailHook.dll", {L"Tovane 32: SetHook failed"}},
    };
    for (const Case& c : cases) {
        Capture capture(core(), c.library);
        dialogs.events.clear();
        capture.N6Click();
        EXPECT_EQ(dialogs.events, c.events) << ToAnsi(c.library);
    }
    N6();
    EnterFolder(pictures / L"gone\\");
    dialogs.events.clear();
    Type(VK_F15);
    EXPECT_EQ(dialogs.events,
              (std::vector<std::wstring>{L"beep", L"Tovane 32: Cannot create file " +
                                                      pictures.Path() + L"gone\\TOVN_000.BMP"}));
}

} // namespace
