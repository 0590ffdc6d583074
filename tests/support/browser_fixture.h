// Starts the real main window in-process on a scratch folder, with scripted dialogs, and
// gives tests the keys, the status bar and the grid's pixels.
#pragma once
#include "browser/main_window.h"
#include "support/scripted_dialogs.h"
#include "support/test_folder.h"
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace tovn::test {

class BrowserFixture : public ::testing::Test {
protected:
    BrowserFixture();
    ~BrowserFixture() override;

    // Writes n solid BMPs named P01.BMP ... into the picture folder.
    void MakePictures(int n, int width = 32, int height = 24);
    // Creates the window on the picture folder (settings file in the program folder).
    void Start(std::vector<std::wstring> args = {});
    // The same without requiring that the window opens; returns its handle (null: it did not).
    HWND Open(std::vector<std::wstring> args = {});
    // Closes the window as the user would (settings written).
    void Close();
    // A key pressed with shift (ssShift, ssCtrl, ssAlt) held, through the window's messages.
    void Key(WORD key, unsigned shift = 0);
    // A press of mouse button (0 left, 1 right, 2 middle) at (x, y) of the grid, and a double
    // click of the left one, through the window's messages.
    void ClickGrid(int button, int x, int y);
    void DoubleClickGrid();
    // A key through the window's messages, the program's loop not turned afterwards (what
    // waits in the queue stays there).
    void SendKey(WORD key);
    // The menu item id chosen.
    void Menu(int id);
    // The beeps and boxes (ScriptedDialogs::events) of step alone.
    std::vector<std::wstring> During(const std::function<void()>& step);
    std::wstring Status(int panel) const;
    // What the screen gets at (x, y) of the grid: the canvas with the bands over it.
    COLORREF Pixel(int x, int y) const;
    // The grid shows the bands of the state (marks of paintedPage, cursor band when shown),
    // each pixel XORed as the bands were once drawn into the canvas itself; checked at the
    // edges and middles of every cell's thirds.
    void ExpectGridShowsBands(int paintedPage, bool cursorShown);
    void ExpectGridShowsBands() { ExpectGridShowsBands(st().CurrentPage, true); }
    // The browser on the archive name of its folder, or on folder, without a repaint (the
    // list follows with the next re-read).
    void EnterArchive(const std::wstring& name);
    void EnterFolder(const std::wstring& folder);
    std::wstring CursorName() const;
    void Pump();
    // Turns the program's own loop until it has nothing left to do.
    void RunIdle();
    // The grid's bitmap as 32-bit pixels, top row first.
    std::vector<uint32_t> GridPixels();
    std::wstring IniText(const wchar_t* section, const wchar_t* key) const;
    void PutIni(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;
    // For each backup mode: puts a file of other contents at path, runs step (which must put
    // a new file there) and checks that the old one went where that mode keeps deleted
    // pictures: nowhere (0), the desktop trash (1), the backup folder backupDir (2).
    void ExpectReplacedFileKept(const std::wstring& path, const std::wstring& backupDir,
                                const std::function<void()>& step);

    ScriptedDialogs dialogs;
    int screenDepth = 0; // bits per pixel the window takes the screen to show; 0: the real
    TestFolder program{L"prog"};
    TestFolder pictures{L"pics"};
    std::unique_ptr<MainWindow> window;
    MainWindow& w() { return *window; }
    Browser& core() { return window->Core(); }
    // What the browser asks of the window's screen.
    GridView& view() { return *window; }
    BrowserState& st() { return window->Core().State(); }
};

} // namespace tovn::test
