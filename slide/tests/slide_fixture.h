// The browser with the slide viewer driven in place of the user: keys and clicks go to the
// viewer's window while it runs modally, and its pixels are read from the screen.
#pragma once
#include "imaging/mag.h"
#include "slide/slide_window.h"
#include "support/browser_fixture.h"
#include "support/on_shown.h"
#include <functional>

namespace tovn::test {

class SlideFixture : public BrowserFixture {
protected:
    // The viewer of a window the shown hook was called with; null for any other window.
    static TfrmSlide* Viewer(HWND window) {
        return dynamic_cast<TfrmSlide*>(Window::FromHandle(window));
    }
    // Sends key to the browser; script runs while the viewer it opens is on screen. The
    // viewer must have opened; a viewer the script left open is closed with Esc.
    void View(WORD key, unsigned shift, const std::function<void(TfrmSlide&)>& script) {
        bool opened = false;
        OnShown hook([&](HWND window) {
            TfrmSlide* f = Viewer(window);
            ASSERT_NE(f, nullptr) << "a window other than the viewer was shown";
            opened = true;
            Pump();
            script(*f);
            if (!f->Closed()) Press(*f, VK_ESCAPE);
        });
        Key(key, shift);
        EXPECT_TRUE(opened) << "the viewer did not open";
    }
    void Press(TfrmSlide& f, WORD key) {
        ::SendMessageW(f.Handle(), WM_KEYDOWN, key, 0);
        Pump();
    }
    void Click(const SlideImage& image, UINT message) {
        ::SendMessageW(image.Handle(), message, 0, MAKELPARAM(2, 2));
        Pump();
    }
    static SIZE WindowSize(const TfrmSlide& f) {
        RECT r;
        ::GetWindowRect(f.Handle(), &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }
    static RECT WindowRect(const TfrmSlide& f) {
        RECT r;
        ::GetWindowRect(f.Handle(), &r);
        return r;
    }
    static SIZE ClientSize(const TfrmSlide& f) {
        RECT r;
        ::GetClientRect(f.Handle(), &r);
        return SIZE{r.right, r.bottom};
    }
    // What the screen shows at a point of the viewer's client area.
    COLORREF ScreenPixel(const TfrmSlide& f, int x, int y) {
        ::UpdateWindow(f.Handle());
        ::RedrawWindow(f.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
        POINT p{x, y};
        ::ClientToScreen(f.Handle(), &p);
        WindowDc screen(nullptr);
        return ::GetPixel(screen.get(), p.x, p.y);
    }
    static std::wstring Caption(const TfrmSlide& f) {
        wchar_t text[512] = {};
        ::GetWindowTextW(f.Handle(), text, 512);
        return text;
    }
    // A one-colour 16-colour MAG picture of w × h placed at left, top of its screen.
    void WriteMag(const std::wstring& name, int w, int h, int left, int top, uint8_t index) {
        imaging::Picture p;
        p.width = w;
        p.height = h;
        p.bitsPerPixel = 4;
        p.palette = Palette16();
        p.pixels.assign(size_t(w) * size_t(h), index);
        p.left = left;
        p.top = top;
        std::vector<uint8_t> file = imaging::EncodeMag(p);
        ASSERT_FALSE(file.empty());
        WriteBytes(pictures / name, file);
    }
    static std::vector<imaging::Rgb> Palette16() {
        std::vector<imaging::Rgb> pal(16);
        pal[1] = {255, 0, 0};
        pal[2] = {0, 255, 0};
        pal[3] = {0, 0, 255};
        pal[4] = {255, 255, 0};
        pal[5] = {0, 255, 255};
        return pal;
    }
    static COLORREF Colour16(int index) {
        imaging::Rgb c = Palette16()[size_t(index)];
        return RGB(c.r, c.g, c.b);
    }
    static void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
        UniqueFile file(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD done = 0;
        ASSERT_TRUE(file &&
                    ::WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &done, nullptr));
    }
    void StartAt(int count) {
        PutIni(L"Window", L"Img", std::to_wstring(count));
        Start();
    }
};

} // namespace tovn::test
