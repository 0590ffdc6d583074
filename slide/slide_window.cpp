#include "slide/slide_window.h"
#include "app/report.h"
#include "app/modal_loop.h"
#include "win/handles.h"
#include "win/scroll.h"
#include "app/wait_window.h"
#include "browser/browser_port.h"
#include "core/slots.h"
#include <imm.h>
#include <algorithm>

namespace tovn {

namespace {

const wchar_t kClassName[] = L"TfrmSlide";
constexpr int kBmpMinimumWidth = 100;
constexpr int kMagMinimumWidth = 80;
constexpr int kScrollLine = 16;

// Realises palette as the screen's foreground palette through the (foreground) window, and
// maps it afresh: a memory DC's palette never becomes the foreground one, and the platform
// skips realising the palette it realised last, whatever took the screen's entries since.
void RealizeForeground(HWND window, HPALETTE palette) {
    if (!window || !palette) return;
    WindowDc dc(window);
    HPALETTE old = ::SelectPalette(dc.get(), palette, FALSE);
    ::UnrealizeObject(palette);
    ::RealizePalette(dc.get());
    if (old) ::SelectPalette(dc.get(), old, TRUE);
}

bool ValidSlot(const BrowserState& st, int slot) {
    return slot >= 0 && slot < static_cast<int>(st.FileList.size());
}

} // namespace

void TfrmSlide::Register(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return;
    Window::RegisterClass(instance, kClassName, ::GetSysColorBrush(COLOR_BTNFACE));
    SlideImage::Register(instance);
    registered = true;
}

TfrmSlide::TfrmSlide(BrowserPort& browser, TargetList targets, const std::wstring& DialogParam)
    : browser_(browser), targets_(std::move(targets)), mode_(SlideModeOf(DialogParam)) {}

TfrmSlide::~TfrmSlide() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

void TfrmSlide::Create() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    Register(instance);
    if (!CreateHandle(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, L"",
                      WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_CLIPCHILDREN, 0, 0, 320, 240,
                      browser_.Owner(), instance))
        return;
    imgSlide1_.Create(hwnd_, instance);
    imgSlide2_.Create(hwnd_, instance);
    // The partial picture lies over the base.
    ::SetWindowPos(imgSlide2_.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    imgSlide1_.mouseDown = [this](int button) { imgSlide1MouseDown(button); };
    imgSlide2_.mouseDown = [this](int button) { imgSlide2MouseDown(button); };
    ::ImmAssociateContext(hwnd_, nullptr);
    RECT window, client;
    ::GetWindowRect(hwnd_, &window);
    ::GetClientRect(hwnd_, &client);
    frame_ = {(window.right - window.left) - client.right,
              (window.bottom - window.top) - client.bottom};
}

void TfrmSlide::ShowModal() {
    Create();
    if (!hwnd_) return;
    ModalLoop loop(
        hwnd_, browser_.Owner(), [this] { return closed_; }, [this] { Close(); });
    loop.beforeShow = [this] { FormShow(); };
    loop.idle = [this] { return IdlePrefetch(); };
    RunModalLoop(loop);
    if (hwnd_) ::DestroyWindow(hwnd_);
}

void TfrmSlide::Close() {
    if (closed_) return;
    closed_ = true;
    FormClose();
}

void TfrmSlide::FormShow() {
    slideBase_ = PictureRect{};
    imgSlide1_.Hide();
    imgSlide2_.Hide();
    slideIndex_ = 0;
    ShowSlidePicture();
}

void TfrmSlide::FormClose() {
    browser_.SetCursorBand(false);
    if (browser_.State().PaletteDisplay) browser_.RealizeDisplayPalette();
}

int TfrmSlide::ShownSlot() const {
    return targets_.items[size_t(slideIndex_)].index;
}

bool TfrmSlide::AtLastSlide() const {
    return slideIndex_ + 1 >= static_cast<int>(targets_.items.size());
}

SlideScreen TfrmSlide::Screen() const {
    SlideScreen s{::GetSystemMetrics(SM_CXSCREEN), browser_.State().WorkAreaHeight};
    if (s.workAreaHeight <= 0) {
        RECT work;
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        s.workAreaHeight = work.bottom - work.top;
    }
    return s;
}

void TfrmSlide::ShowSlidePicture() {
    const BrowserState& st = browser_.State();
    const NamedIndex& target = targets_.items[size_t(slideIndex_)];
    // A picture decoded ahead is shown at once: no progress window for it.
    if (!prefetched_ || prefetched_->name != target.name)
        ShowWaiting(L"Now Painting Images", hwnd_);
    const int i = target.index;
    if (st.SlideSync) {
        browser_.GoToCell(PageOf(i, st.CellsPerPage), CellOf(i, st.CellsPerPage) - 1, true);
    } else {
        browser_.PlaceCursor(i);
    }
    browser_.SetCursorBand(true);
    ::SetWindowTextW(hwnd_, (st.CurrentDir + target.name).c_str());
    const int cursor = CursorSlot(st);
    if (ValidSlot(st, cursor) && UpperExtension(st.FileList[size_t(cursor)].name) == L".BMP")
        ShowBmpSlide();
    else
        ShowPluginSlide();
    if (mode_ == SlideMode::Slide && ValidSlot(st, i) && st.FileList[size_t(i)].mark == 1)
        ToggleMarkBand();
    ShowWaiting(L"", hwnd_);
}

// The one place the viewer decodes: a failed picture becomes a copy of the placeholder.
bool TfrmSlide::Decode(const std::wstring& name, SlidePicture& out) {
    LoadedPicture loaded = browser_.Pictures().LoadPicture(name, lpSlide, browser_.Source());
    out.name = name;
    out.loaded = loaded.ok;
    out.picture = std::move(loaded.picture);
    out.info = loaded.info;
    return out.loaded;
}

// The picture the show asks for: the one decoded ahead when it is that one. A picture that
// did not decode beeps now that it is on screen.
bool TfrmSlide::LoadSlidePicture(const std::wstring& name, SlidePicture& out) {
    if (prefetched_ && prefetched_->name == name)
        out = std::move(*prefetched_);
    else
        Decode(name, out);
    prefetched_.reset();
    Report(hwnd_, out.loaded ? Result::Ok() : Result::Refused());
    return out.loaded;
}

// While the show waits for a key: the next picture is decoded, so that Next shows it at once.
// On a palette display the reduction shows its own progress, so nothing is decoded ahead.
bool TfrmSlide::IdlePrefetch() {
    const BrowserState& st = browser_.State();
    if (closed_ || mode_ != SlideMode::Slide || st.PaletteDisplay || AtLastSlide()) return false;
    const std::wstring& name = targets_.items[size_t(slideIndex_ + 1)].name;
    if (prefetched_ && prefetched_->name == name) return false;
    SlidePicture next;
    Decode(name, next);
    prefetched_ = std::move(next);
    return true;
}

void TfrmSlide::ShowBmpSlide() {
    imgSlide1_.Hide();
    imgSlide2_.Hide();
    const BrowserState& st = browser_.State();
    SlidePicture shown;
    const bool loaded = LoadSlidePicture(st.FileList[size_t(CursorSlot(st))].name, shown);
    Picture& picture = shown.picture;
    const int w = picture.Width(), h = picture.Height();
    ApplyLayout(st.SlideFullSize && loaded
                    ? FitLayout(w, h, frame_, Screen())
                    : NaturalLayout(w, h, kBmpMinimumWidth, frame_, Screen()));
    imgSlide1_.SetPicture(std::move(picture));
    imgSlide1_.Show();
}

void TfrmSlide::ShowPluginSlide() {
    const BrowserState& st = browser_.State();
    const std::wstring& name = targets_.items[size_t(slideIndex_)].name;
    SlidePicture shown;
    Picture& picture = shown.picture;
    if (!LoadSlidePicture(name, shown)) {
        ClearOverlay();
        const int w = picture.Width(), h = picture.Height();
        ShowAsBase(std::move(picture), NaturalLayout(w, h, 0, frame_, Screen()),
                   PictureRect{0, 0, h, w});
        return;
    }
    const PictureInfo& info = shown.info;
    const PictureRect place{info.top, info.left, info.height, info.width};
    const std::wstring previous =
        slideIndex_ > 0 ? UpperExtension(targets_.items[size_t(slideIndex_ - 1)].name) : L"";
    if (IsOverlay(UpperExtension(name), previous, imgSlide1_.Visible(), place, slideBase_)) {
        ShowAsOverlay(std::move(picture), place);
        return;
    }
    ClearOverlay();
    const SlideLayout layout =
        st.SlideFullSize
            ? FitLayout(picture.Width(), picture.Height(), frame_, Screen())
            : NaturalLayout(info.width, info.height, kMagMinimumWidth, frame_, Screen());
    ShowAsBase(std::move(picture), layout, place);
}

void TfrmSlide::ShowAsOverlay(Picture picture, const PictureRect& place) {
    const BrowserState& st = browser_.State();
    const int previousSlot = targets_.items[size_t(slideIndex_ - 1)].index;
    // The previous picture's band goes with it.
    if (ValidSlot(st, previousSlot) && st.FileList[size_t(previousSlot)].mark == 1)
        ToggleMarkBand();
    const ImageBox box = OverlayBox(place, slideBase_, slideScale_);
    imgSlide2_.SetBounds(box.left, box.top, box.width, box.height);
    imgSlide2_.SetPicture(std::move(picture));
    imgSlide2_.Show();
}

void TfrmSlide::ShowAsBase(Picture picture, const SlideLayout& layout, const PictureRect& base) {
    ApplyLayout(layout);
    slideBase_ = base;
    imgSlide1_.SetPicture(std::move(picture));
    imgSlide1_.Show();
}

void TfrmSlide::ClearOverlay() {
    imgSlide2_.Hide();
    imgSlide2_.SetPicture(Picture());
    imgSlide1_.SetBounds(0, 0, 0, 0);
}

void TfrmSlide::ApplyLayout(const SlideLayout& layout) {
    originX_ = originY_ = 0;
    if (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL))
        ::ShowScrollBar(hwnd_, SB_BOTH, FALSE);
    const WindowBox& w = layout.window;
    RECT now;
    ::GetWindowRect(hwnd_, &now);
    // A show of pictures of one size keeps its window where it is.
    if (now.left != w.left || now.top != w.top || now.right - now.left != w.width ||
        now.bottom - now.top != w.height)
        ::SetWindowPos(hwnd_, nullptr, w.left, w.top, w.width, w.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    imgSlide1_.ScrollTo(0, 0);
    imgSlide2_.ScrollTo(0, 0);
    imgSlide1_.SetBounds(0, 0, layout.imageWidth, layout.imageHeight);
    slideScale_ = layout.scale;
    UpdateScrollBars();
}

void TfrmSlide::ToggleMarkBand() {
    (imgSlide2_.Visible() ? imgSlide2_ : imgSlide1_).ToggleMarkBand();
}

// A bar over content pixels, page of them in view; hidden when the content fits.
void TfrmSlide::SetScrollRange(int bar, int content, int page, int position) {
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = content - 1;
    si.nPage = UINT(page);
    si.nPos = position;
    ::SetScrollInfo(hwnd_, bar, &si, TRUE);
}

// Scroll bars appear when the base picture is larger than the client area; showing one
// narrows the client area, so the sizes are settled twice.
void TfrmSlide::UpdateScrollBars() {
    if (updatingScrollBars_ || !hwnd_) return;
    updatingScrollBars_ = true;
    RECT client = {};
    for (int pass = 0; pass < 2; ++pass) {
        ::GetClientRect(hwnd_, &client);
        SetScrollRange(SB_HORZ, imgSlide1_.Width(), client.right, originX_);
        SetScrollRange(SB_VERT, imgSlide1_.Height(), client.bottom, originY_);
    }
    ::GetClientRect(hwnd_, &client);
    originX_ = std::max(0, std::min(originX_, imgSlide1_.Width() - int(client.right)));
    originY_ = std::max(0, std::min(originY_, imgSlide1_.Height() - int(client.bottom)));
    imgSlide1_.ScrollTo(originX_, originY_);
    imgSlide2_.ScrollTo(originX_, originY_);
    updatingScrollBars_ = false;
}

void TfrmSlide::Scroll(int bar, int code) {
    const std::optional<int> position = RequestedScrollPosition(hwnd_, bar, code, kScrollLine);
    if (!position) return;
    ::SetScrollPos(hwnd_, bar, *position, TRUE);
    (bar == SB_HORZ ? originX_ : originY_) = *position;
    imgSlide1_.ScrollTo(originX_, originY_);
    imgSlide2_.ScrollTo(originX_, originY_);
}

void TfrmSlide::FormKeyDown(WORD key) {
    switch (SlideActionFor(mode_, key)) {
    case SlideAction::Next:
        Next();
        break;
    case SlideAction::MarkAndNext:
        MarkAndNext();
        break;
    case SlideAction::Previous:
        Previous();
        break;
    case SlideAction::MarkAndClose:
        MarkAndClose();
        break;
    case SlideAction::Close:
        if (mode_ == SlideMode::Slide)
            CloseFromSlide();
        else
            Close();
        break;
    }
}

void TfrmSlide::Next() {
    if (AtLastSlide()) {
        Report(hwnd_, Result::Refused());
        return;
    }
    browser_.SetCursorBand(false);
    ++slideIndex_;
    ShowSlidePicture();
}

void TfrmSlide::Previous() {
    if (slideIndex_ == 0) {
        Report(hwnd_, Result::Refused());
        return;
    }
    browser_.SetCursorBand(false);
    --slideIndex_;
    ShowSlidePicture();
}

void TfrmSlide::FlipShownMark() {
    const int slot = ShownSlot();
    const auto& list = browser_.State().FileList;
    browser_.SetMark(slot, slot >= 0 && slot < static_cast<int>(list.size()) && !list[slot].mark);
    ToggleMarkBand();
}

void TfrmSlide::MarkAndNext() {
    FlipShownMark();
    if (AtLastSlide()) return;
    browser_.SetCursorBand(false);
    ++slideIndex_;
    ShowSlidePicture();
}

// Marks the picture and moves the browser cursor on to the next picture of its page.
void TfrmSlide::MarkAndClose() {
    FlipShownMark();
    const BrowserState& st = browser_.State();
    browser_.SetCursorBand(false);
    browser_.GoToCell(st.CurrentPage, st.CursorCell, false);
    browser_.SetCursorBand(true);
    Close();
}

// Without SlideSync the browser has not followed the show: it turns to the last picture now.
void TfrmSlide::CloseFromSlide() {
    const BrowserState& st = browser_.State();
    if (!st.SlideSync) {
        browser_.PlaceCursor(ShownSlot());
        browser_.SetCursorBand(false);
        browser_.Redraw(rdCells);
        browser_.SetCursorBand(true);
    }
    Close();
}

void TfrmSlide::imgSlide1MouseDown(int button) {
    if (button == 0) FormKeyDown('N');
    if (button == 1) FormKeyDown('M');
}

void TfrmSlide::imgSlide2MouseDown(int button) {
    imgSlide1MouseDown(button);
}

LRESULT TfrmSlide::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        FormKeyDown(static_cast<WORD>(wp));
        return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_SIZE:
        UpdateScrollBars();
        break;
    case WM_GETMINMAXINFO: // small pictures get windows narrower than the platform's minimum
        reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = POINT{1, 1};
        return 0;
    case WM_HSCROLL:
        Scroll(SB_HORZ, LOWORD(wp));
        return 0;
    case WM_VSCROLL:
        Scroll(SB_VERT, LOWORD(wp));
        return 0;
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED:
        if (msg == WM_PALETTECHANGED && reinterpret_cast<HWND>(wp) == hwnd_) break;
        ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        return TRUE;
    case WM_DESTROY:
        closed_ = true;
        break;
    }
    return Window::HandleMessage(msg, wp, lp);
}

void ShowSlide(BrowserPort& browser, const TargetList& targets, const std::wstring& DialogParam) {
    if (targets.items.empty()) return;
    {
        TfrmSlide form(browser, targets, DialogParam);
        form.ShowModal();
    }
    // The viewer's palettes took the screen's entries; the grid's palette gets them back.
    if (browser.State().PaletteDisplay)
        RealizeForeground(browser.Owner(), browser.Pictures().PlaceholderBitmap().Palette());
}

} // namespace tovn
