// The small frame the program's modal dialogs share: an empty in-memory dialog whose
// controls are created in pixels, a Japanese-capable font, centring; once a dialog's modal
// loop runs, the shown hook (app/modal_loop.h) is called with it.
#pragma once
#include <windows.h>
#include <initializer_list>
#include <string>
#include <vector>
#include "win/handles.h"

namespace tovn::dlg {

// Shape of the window a dialog asks for.
struct Frame {
    std::wstring caption;
    int clientWidth = 0; // width and height of the client area (see outerSize)
    int clientHeight = 0;
    bool topmost = false;
    bool outerSize = false; // the two sizes are the whole window's, frame included
};

class ModalDialog {
public:
    ModalDialog();
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Shows the dialog modally over owner; returns the id it was ended with (IDCANCEL when
    // the window could not be made).
    int Run(HWND owner, const Frame& frame);

protected:
    HWND Window() const { return hwnd_; }
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    // Creates a child control in client pixels with the dialog's font.
    HWND Add(const wchar_t* cls, const std::wstring& text, DWORD style, int id, int x, int y, int w,
             int h, DWORD exStyle = 0);
    // A group box with radio buttons stacked inside it; their ids are firstId + index.
    // Items fill rows of `columns`. The box and the buttons grow to hold their texts in the
    // dialog's font. Returns the windows made, group box first.
    std::vector<HWND> AddRadioGroup(const std::wstring& caption,
                                    std::initializer_list<const wchar_t*> items, int firstId,
                                    RECT box, int columns = 1);
    // Width of text in the dialog's font, in pixels.
    int TextWidth(const std::wstring& text) const;
    // Widens the client area to width when it is narrower, keeping the dialog centred.
    void WidenClientTo(int width);
    // The largest right edge of the given controls, in client pixels.
    int RightmostEdge(const std::vector<HWND>& controls) const;
    void SetFocusTo(int id) { ::SetFocus(Item(id)); }
    void End(int result) { ::EndDialog(hwnd_, result); }

    virtual void OnInit() = 0;
    // A WM_COMMAND; true when handled. IDOK and IDCANCEL end the dialog when unhandled.
    virtual bool OnCommand(int id, int code, HWND control);
    // WM_NOTIFY (true when handled) and WM_VSCROLL from common controls.
    virtual bool OnNotify(const NMHDR&) { return false; }
    virtual void OnVScroll(HWND) {}

private:
    static INT_PTR CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp);
    void Place();
    SIZE OuterSize(int clientWidth, int clientHeight) const;
    void Centre(SIZE outer);

    HWND hwnd_ = nullptr;
    const Frame* frame_ = nullptr;
    UniqueFont font_;
};

// Whether path names an existing folder.
bool IsFolder(const std::wstring& path);

// Text of a window, and the selected index of a radio group (-1: none).
std::wstring TextOf(HWND w);
int CheckedIndex(HWND dialog, int firstId, int count);

} // namespace tovn::dlg
