#include "editor/edit_window.h"
#include "editor/text_spacing.h"
#include "app/dialogs.h"
#include "app/modal_loop.h"
#include "app/report.h"
#include "app/wait_window.h"
#include "app/win_text.h"
#include "browser/browser_port.h"
#include "core/slots.h"
#include "core/text.h"
#include "picture/picture_host.h"
#include "win/scroll.h"
#include <commctrl.h>
#include <imm.h>
#include <algorithm>

namespace tovn {

namespace {

const wchar_t kClass[] = L"TfrmEdit";
const wchar_t kImageClass[] = L"TovnEditImage";
constexpr int kButtonHeight = 20;  // the tool buttons, and the swatch strip under the picture
constexpr int kCommandHeight = 18; // Write, Save, Cansel
constexpr int kMinWidth = 400;
constexpr int kTextHeight = -12;     // the canvas font's height
constexpr int kCharacterExtra = -10; // asked for; see ReadableCharacterExtra

UniqueFont MakeFont(int height, const wchar_t* face, int pitch = DEFAULT_PITCH) {
    return UniqueFont(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    NONANTIALIASED_QUALITY, pitch | FF_DONTCARE, face));
}

// The control characters the memo turns into caret keys.
WORD CaretKeyFor(wchar_t character) {
    switch (character) {
    case 19:
        return VK_LEFT; // Ctrl+S
    case 4:
        return VK_RIGHT; // Ctrl+D
    case 5:
        return VK_UP; // Ctrl+E
    case 24:
        return VK_DOWN; // Ctrl+X
    case 7:
        return VK_DELETE; // Ctrl+G
    default:
        return 0;
    }
}

// A memory DC drawing on one bitmap, with the picture's palette selected so that palette
// colour values name its entries.
class BitmapCanvas {
public:
    BitmapCanvas(HBITMAP bitmap, HPALETTE palette)
        : dc_(::CreateCompatibleDC(nullptr)), bitmap_(dc_.get(), bitmap) {
        if (palette) {
            oldPalette_ = ::SelectPalette(dc_.get(), palette, FALSE);
            ::RealizePalette(dc_.get());
        }
    }
    BitmapCanvas(const BitmapCanvas&) = delete;
    BitmapCanvas& operator=(const BitmapCanvas&) = delete;
    ~BitmapCanvas() {
        if (oldPalette_) ::SelectPalette(dc_.get(), oldPalette_, FALSE);
    }
    HDC get() const { return dc_.get(); }

private:
    UniqueMemDc dc_;
    SelectIn bitmap_;
    HPALETTE oldPalette_ = nullptr;
};

// A bitmap's DIB description and colour table.
struct DibFormat {
    BITMAPINFOHEADER header{};
    RGBQUAD colours[256]{};
    int colourCount = 0;
};

DibFormat FormatOf(HBITMAP bitmap) {
    DibFormat f;
    DIBSECTION section{};
    const bool dib = ::GetObjectW(bitmap, sizeof section, &section) == sizeof section;
    const int bits = dib ? section.dsBmih.biBitCount : 24;
    f.header.biSize = sizeof f.header;
    f.header.biWidth = dib ? section.dsBm.bmWidth : 0;
    f.header.biHeight = dib ? section.dsBm.bmHeight : 0;
    f.header.biPlanes = 1;
    f.header.biBitCount = static_cast<WORD>(bits <= 8 ? bits : 24);
    if (bits <= 8) {
        BitmapCanvas canvas(bitmap, nullptr);
        f.colourCount = static_cast<int>(::GetDIBColorTable(canvas.get(), 0, 256, f.colours));
    }
    f.header.biClrUsed = static_cast<DWORD>(f.colourCount);
    return f;
}

UniqueBitmap MakeDib(const DibFormat& f) {
    void* bits = nullptr;
    return UniqueBitmap(::CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&f),
                                           DIB_RGB_COLORS, &bits, nullptr, 0));
}

// Line i of the memo as it shows it.
std::wstring MemoLine(HWND memo, int i) {
    const int start = static_cast<int>(::SendMessageW(memo, EM_LINEINDEX, i, 0));
    if (start < 0) return {};
    const int length = static_cast<int>(::SendMessageW(memo, EM_LINELENGTH, start, 0));
    std::wstring line(static_cast<size_t>(std::max(length, 1)) + 1, L'\0');
    line[0] = static_cast<wchar_t>(line.size());
    const int got = static_cast<int>(
        ::SendMessageW(memo, EM_GETLINE, i, reinterpret_cast<LPARAM>(line.data())));
    line.resize(static_cast<size_t>(std::clamp(got, 0, length)));
    return line;
}

} // namespace

void TfrmEdit::Register(HINSTANCE instance) {
    Window::RegisterClass(instance, kClass, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance;
    wc.lpfnWndProc = &TfrmEdit::ImageProc;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_CROSS);
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kImageClass;
    ::RegisterClassExW(&wc);
}

TfrmEdit::TfrmEdit(BrowserPort& browser) : browser_(browser) {}

// The window goes while the members its messages use are still there.
TfrmEdit::~TfrmEdit() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

HPALETTE TfrmEdit::Palette() const {
    return PictureBitmap().Palette();
}

bool TfrmEdit::Create() {
    static const bool registered = (Register(::GetModuleHandleW(nullptr)), true);
    (void)registered;
    if (!CreateHandle(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClass, L"",
                      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_HSCROLL |
                          WS_VSCROLL | WS_CLIPCHILDREN,
                      0, 0, kMinWidth, 300, browser_.Owner(), ::GetModuleHandleW(nullptr)))
        return false;
    ::ImmAssociateContextEx(hwnd_, nullptr, 0); // the memo has the input method, not the form
    CreateControls();
    FormShow();
    return true;
}

int TfrmEdit::ShowModal() {
    ModalLoop loop(
        hwnd_, browser_.Owner(), [this] { return done_; }, [this] { CloseWith(IDCANCEL); });
    loop.preview = [this](const MSG& msg) { return FormKeyDown(static_cast<WORD>(msg.wParam)); };
    RunModalLoop(loop);
    return result_;
}

void TfrmEdit::CreateControls() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    formFont_ = MakeFont(-12, L"ＭＳ Ｐゴシック");
    memoFont_ = MakeFont(-17, L"FixedSys", FIXED_PITCH);
    labelFont_ = MakeFont(-19, L"ＭＳ Ｐゴシック");
    white_ = UniqueBrush(::CreateSolidBrush(RGB(255, 255, 255)));
    auto add = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id, HFONT font) {
        HWND c =
            ::CreateWindowExW(0, cls, text, WS_CHILD | style, 0, 0, 0, 0, hwnd_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
        ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return c;
    };
    imgEdit_ = add(kImageClass, L"", 0, 0, formFont_.get());
    ::SetWindowLongPtrW(imgEdit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    const wchar_t* tools[5] = {L"塗り潰し", L"網掛け", L"文字色", L"文字影", L"範囲選択"};
    for (int i = 0; i < 5; ++i)
        buttons_[i] =
            add(L"BUTTON", tools[i], BS_AUTOCHECKBOX | BS_PUSHLIKE, idNuri + i, formFont_.get());
    lblGyou_ = add(L"STATIC", L"", SS_RIGHT, idGyouLabel, labelFont_.get());
    udGyou_ = add(UPDOWN_CLASSW, L"", 0, idGyou, formFont_.get());
    ::SendMessageW(udGyou_, UDM_SETRANGE32, 0, 100);
    mmEdit_ =
        add(L"EDIT", L"",
            WS_BORDER | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN | WS_TABSTOP,
            idMemo, memoFont_.get());
    ::SetWindowSubclass(mmEdit_, &TfrmEdit::MemoProc, 1, reinterpret_cast<DWORD_PTR>(this));
    add(L"BUTTON", L"Write", BS_PUSHBUTTON, idKaki, formFont_.get());
    add(L"BUTTON", L"Save", BS_PUSHBUTTON, idSave, formFont_.get());
    add(L"BUTTON", L"Cansel", BS_PUSHBUTTON, idCansel, formFont_.get());
}

// --- Showing and closing ---------------------------------------------------------------

void TfrmEdit::FormShow() {
    const BrowserState& st = browser_.State();
    editFileName_ = st.FileList.at(static_cast<size_t>(CursorSlot(st))).name;
    editFileExt_ = UpperExtension(editFileName_);
    ReadSettings();
    toolMode_ = 0;
    selectionState_ = 0;
    ShowWaiting(L"Now Painting:" + editFileName_, hwnd_);
    LoadEditPicture();
    ShowWaiting(L"", hwnd_);
    LayoutEditor();
    DrawSwatches();
    DrawTextFrame();
    drag_ = {settings_.StartX, settings_.StartY, settings_.EndX, settings_.EndY};
    selectionState_ = 2;
    SetCaption(RangeCaption(settings_.StartX, settings_.StartY, settings_.EndX, settings_.EndY));
    for (HWND child = ::GetWindow(hwnd_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::ShowWindow(child, SW_SHOW);
    ::SetWindowTextW(mmEdit_, L"");
    ShowGyoukan();
    ::SetFocus(mmEdit_);
}

// The one place the picture is loaded. A picture that cannot be read beeps and is the
// loader's placeholder, and the editor works on that.
void TfrmEdit::LoadEditPicture() {
    ::MoveWindow(imgEdit_, 0, 0, 0, 0, FALSE);
    edited_ = browser_.Pictures().LoadPicture(editFileName_, lpEdit, browser_.Source());
    Report(hwnd_, edited_.Outcome());
    MakeViewBitmap();
}

void TfrmEdit::MakeViewBitmap() {
    const Picture& picture = PictureBitmap();
    pictureWidth_ = picture.Width();
    pictureHeight_ = picture.Height();
    DibFormat format = FormatOf(picture.Bitmap());
    viewWidth_ = std::max(pictureWidth_, kMinWidth);
    viewHeight_ = pictureHeight_ + kButtonHeight;
    format.header.biWidth = viewWidth_;
    format.header.biHeight = viewHeight_;
    view_ = MakeDib(format);
    {
        BitmapCanvas view(view_.get(), Palette());
        UniqueBrush black(::CreateSolidBrush(NearestColour(RGB(0, 0, 0))));
        RECT all{0, 0, viewWidth_, viewHeight_};
        ::FillRect(view.get(), &all, black.get());
        BitmapCanvas source(picture.Bitmap(), Palette());
        ::BitBlt(view.get(), 0, 0, pictureWidth_, pictureHeight_, source.get(), 0, 0, SRCCOPY);
    }
    DibFormat screen;
    screen.header.biSize = sizeof screen.header;
    screen.header.biWidth = viewWidth_;
    screen.header.biHeight = viewHeight_;
    screen.header.biPlanes = 1;
    screen.header.biBitCount = 32;
    canvasSelection_.reset();
    canvas_ = MakeDib(screen);
    canvasDc_.reset(::CreateCompatibleDC(nullptr));
    canvasSelection_ = std::make_unique<SelectIn>(canvasDc_.get(), canvas_.get());
    ::MoveWindow(imgEdit_, -scrollX_, -scrollY_, viewWidth_, viewHeight_, FALSE);
}

void TfrmEdit::ReadSettings() {
    const std::wstring& ini = browser_.IniPath();
    settings_ = EditSettingsFrom([&ini](const wchar_t* key, long long& v) {
        wchar_t buf[64] = {};
        ::GetPrivateProfileStringW(L"Edit", key, L"", buf, 64, ini.c_str());
        return ParseInteger(buf, v);
    });
}

void TfrmEdit::WriteSettings() const {
    for (const auto& [key, value] : EditSettingsEntries(settings_))
        ::WritePrivateProfileStringW(L"Edit", key, std::to_wstring(value).c_str(),
                                     browser_.IniPath().c_str());
}

void TfrmEdit::FormClose() {
    WriteSettings();
    view_.reset();
}

void TfrmEdit::CloseWith(int result) {
    if (done_) return;
    result_ = result;
    FormClose();
    done_ = true;
}

bool TfrmEdit::FormKeyDown(WORD key) {
    if (saving_) return key == VK_ESCAPE || key == VK_F1;
    if (key == VK_ESCAPE) {
        CloseWith(IDCANCEL);
        return true;
    }
    if (key == VK_F1) {
        OpenPartSave();
        return true;
    }
    return false;
}

void TfrmEdit::OpenPartSave() {
    PartSavePlaces places{PartSavePathFor(browser_.IniPath()), partSaveToolFolder,
                          browser_.State().BackupDir};
    TfrmPsbat partSave(hwnd_, *this, places);
    if (!partSave.Create() || partSave.ShowModal() != IDOK) return;
    CopyViewToImage(); // no frame of the old rectangle is left behind
    LayoutEditor();    // fits the applied rectangle to this picture before it is drawn
    DrawTextFrame();
    drag_ = {settings_.StartX, settings_.StartY, settings_.EndX, settings_.EndY};
    selectionState_ = 2;
    ShowGyoukan();
    SetCaption(RangeCaption(settings_.StartX, settings_.StartY, settings_.EndX, settings_.EndY));
}

void TfrmEdit::btCanselClick() {
    CloseWith(IDCANCEL);
}

// --- Layout ----------------------------------------------------------------------------

void TfrmEdit::LayoutEditor() {
    const int width = std::max(viewWidth_, kMinWidth);
    FitTextRect(settings_, pictureWidth_, pictureHeight_);
    const int memoHeight = settings_.EndY - settings_.StartY + 8;
    contentWidth_ = width;
    contentHeight_ = viewHeight_ + kButtonHeight + memoHeight + kCommandHeight + 1;

    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    RECT frame{0, 0, contentWidth_, contentHeight_};
    ::AdjustWindowRectEx(&frame, style & ~(WS_HSCROLL | WS_VSCROLL), FALSE, exStyle);
    int w = frame.right - frame.left, h = frame.bottom - frame.top;
    int workHeight = browser_.State().WorkAreaHeight;
    if (workHeight <= 0) {
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        workHeight = work.bottom - work.top;
    }
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    if (h >= workHeight) w += 16; // room for the vertical scroll bar
    if (w >= screenWidth) h += 16;
    h = std::min(h, workHeight);
    w = std::max(std::min(w, screenWidth), kMinWidth);
    RECT placed{};
    ::GetWindowRect(hwnd_, &placed);
    ::SetWindowPos(hwnd_, nullptr, placed.left, (workHeight - h) / 2, w, h,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceControls();
}

// Scroll ranges from the content size, and every control at its place in the content.
void TfrmEdit::PlaceControls() {
    // The client area without scroll bars decides which bar is needed; each bar then takes
    // its room from the other's page.
    RECT outer{}, frame{};
    ::GetWindowRect(hwnd_, &outer);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    ::AdjustWindowRectEx(&frame, style & ~(WS_HSCROLL | WS_VSCROLL), FALSE, exStyle);
    int pageWidth = (outer.right - outer.left) - (frame.right - frame.left);
    int pageHeight = (outer.bottom - outer.top) - (frame.bottom - frame.top);
    bool vertical = contentHeight_ > pageHeight;
    const bool horizontal =
        contentWidth_ > pageWidth - (vertical ? ::GetSystemMetrics(SM_CXVSCROLL) : 0);
    vertical = contentHeight_ > pageHeight - (horizontal ? ::GetSystemMetrics(SM_CYHSCROLL) : 0);
    if (vertical) pageWidth -= ::GetSystemMetrics(SM_CXVSCROLL);
    if (horizontal) pageHeight -= ::GetSystemMetrics(SM_CYHSCROLL);
    auto range = [&](int bar, int content, int page, int& position) {
        position = std::max(0, std::min(position, content - page));
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMax = content - 1;
        si.nPage = static_cast<UINT>(std::max(page, 0));
        si.nPos = position;
        ::SetScrollInfo(hwnd_, bar, &si, TRUE);
    };
    range(SB_HORZ, contentWidth_, pageWidth, scrollX_);
    range(SB_VERT, contentHeight_, pageHeight, scrollY_);

    const int width = contentWidth_;
    const int buttonWidth = (width - 37) / 5;
    const int buttonTop = viewHeight_ - scrollY_;
    ::MoveWindow(imgEdit_, -scrollX_, -scrollY_, viewWidth_, viewHeight_, TRUE);
    for (int i = 0; i < 5; ++i)
        ::MoveWindow(buttons_[i], buttonWidth * i - scrollX_, buttonTop, buttonWidth, kButtonHeight,
                     TRUE);
    ::MoveWindow(lblGyou_, 5 * buttonWidth - scrollX_, buttonTop, 20, kButtonHeight, TRUE);
    ::MoveWindow(udGyou_, 5 * buttonWidth + 20 - scrollX_, buttonTop, 17, kButtonHeight, TRUE);
    const int memoTop = buttonTop + kButtonHeight;
    const int memoHeight = settings_.EndY - settings_.StartY + 8;
    ::MoveWindow(mmEdit_, settings_.StartX - scrollX_, memoTop,
                 settings_.EndX - settings_.StartX + 8, memoHeight, TRUE);
    const int commandTop = memoTop + memoHeight + 1;
    const int commandWidth = width / 3;
    for (int i = 0; i < 3; ++i)
        ::MoveWindow(Control(idKaki + i), commandWidth * i - scrollX_, commandTop, commandWidth,
                     kCommandHeight, TRUE);
}

void TfrmEdit::Scroll(int bar, int code) {
    const std::optional<int> position = RequestedScrollPosition(hwnd_, bar, code, 16);
    if (!position) return;
    (bar == SB_HORZ ? scrollX_ : scrollY_) = *position;
    PlaceControls();
}

void TfrmEdit::SetCaption(const std::wstring& coordinates) {
    std::wstring caption = browser_.State().CurrentDir + editFileName_;
    if (!coordinates.empty()) caption += L" " + coordinates;
    ::SetWindowTextW(hwnd_, caption.c_str());
}

void TfrmEdit::ShowGyoukan() {
    ::SetWindowTextW(lblGyou_, std::to_wstring(settings_.Gyoukan).c_str());
    ::SendMessageW(udGyou_, UDM_SETPOS32, 0, settings_.Gyoukan);
}

void TfrmEdit::udGyouClick(int position) {
    settings_.Gyoukan = position;
    ::SetWindowTextW(lblGyou_, std::to_wstring(position).c_str());
}

// --- Colours, swatches and frames ------------------------------------------------------

COLORREF TfrmEdit::NearestColour(COLORREF colour) const {
    HPALETTE palette = Palette();
    if (edited_.colorCount > 256 || !palette) return colour;
    if ((colour >> 24) == 1) { // already an entry: its own colour
        PALETTEENTRY e{};
        if (!::GetPaletteEntries(palette, colour & 0xFFFF, 1, &e)) return colour;
        colour = RGB(e.peRed, e.peGreen, e.peBlue);
    }
    return PALETTEINDEX(::GetNearestPaletteIndex(palette, colour & 0xFFFFFF));
}

void TfrmEdit::DrawSwatches() {
    struct Layer {
        int32_t& colour;
        bool transparent;
    };
    Layer layers[4] = {{settings_.Nuri, settings_.bNuri},
                       {settings_.Ami, settings_.bAmi},
                       {settings_.Mozi, settings_.bMozi},
                       {settings_.Kage, settings_.bKage}};
    const int b = (contentWidth_ - 37) / 5;
    const int top = pictureHeight_ + 2, bottom = viewHeight_ - 2;
    {
        BitmapCanvas view(view_.get(), Palette());
        HDC dc = view.get();
        UniqueFont small(::CreateFontW(-::MulDiv(10, ::GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0,
                                       FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"ＭＳ Ｐゴシック"));
        for (int i = 0; i < 4; ++i) {
            Layer& layer = layers[i];
            layer.colour = static_cast<int32_t>(
                NearestColour(layer.transparent ? RGB(255, 255, 255) : layer.colour));
            UniqueBrush brush(::CreateSolidBrush(static_cast<COLORREF>(layer.colour)));
            RECT swatch{b * i + 1, top, b * (i + 1) - 1, bottom};
            ::FillRect(dc, &swatch, brush.get());
            if (!layer.transparent) continue;
            SelectIn font(dc, small.get());
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, NearestColour(RGB(0, 0, 0)));
            const std::wstring text = L"透明色";
            SIZE size{};
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
            ::TextOutW(dc, b * i + (b - size.cx) / 2,
                       pictureHeight_ + (kButtonHeight - size.cy - 2) / 2, text.c_str(),
                       static_cast<int>(text.size()));
        }
        const int t = static_cast<int>(b * 4.5);
        UniqueBrush white(::CreateSolidBrush(NearestColour(RGB(255, 255, 255))));
        UniqueBrush black(::CreateSolidBrush(NearestColour(RGB(0, 0, 0))));
        UniquePen outline(::CreatePen(PS_SOLID, 1, NearestColour(RGB(255, 255, 255))));
        RECT light{b * 4 + 1, top, t - 1, bottom};
        ::FillRect(dc, &light, white.get());
        SelectIn pen(dc, outline.get()), fill(dc, black.get());
        ::Rectangle(dc, t + 1, top, b * 5 - 1, bottom);
    }
    CopyViewToImage();
}

void TfrmEdit::CopyViewToImage() {
    if (!view_) return;
    BitmapCanvas view(view_.get(), Palette());
    ::BitBlt(canvasDc_.get(), 0, 0, viewWidth_, viewHeight_, view.get(), 0, 0, SRCCOPY);
    ::InvalidateRect(imgEdit_, nullptr, FALSE);
}

void TfrmEdit::DrawFrame(int sx, int sy, int ex, int ey) {
    HDC dc = canvasDc_.get();
    UniquePen pen(::CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    SelectIn usePen(dc, pen.get());
    const int oldMode = ::SetROP2(dc, R2_XORPEN);
    POINT outline[5] = {
        {sx - 1, sy - 1}, {ex + 1, sy - 1}, {ex + 1, ey + 1}, {sx - 1, ey + 1}, {sx - 1, sy - 1}};
    ::Polyline(dc, outline, 5);
    ::SetROP2(dc, oldMode);
    ::InvalidateRect(imgEdit_, nullptr, FALSE);
}

void TfrmEdit::DrawTextFrame() {
    DrawFrame(settings_.StartX, settings_.StartY, settings_.EndX, settings_.EndY);
}

void TfrmEdit::DrawDragFrame() {
    DrawFrame(drag_.startX, drag_.startY, drag_.endX, drag_.endY);
}

// --- Mouse -----------------------------------------------------------------------------

void TfrmEdit::ToolButtonClick(int tool, bool down) {
    for (int i = 0; i < 5; ++i)
        if (i != tool - 1) ::SendMessageW(buttons_[i], BM_SETCHECK, BST_UNCHECKED, 0);
    ::SendMessageW(buttons_[tool - 1], BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
    toolMode_ = down ? tool : 0;
}

void TfrmEdit::ClearSelection() {
    DrawDragFrame();
    selectionState_ = 0;
    SetCaption(L"");
}

void TfrmEdit::imgEditMouseDown(bool left, int x, int y) {
    if (toolMode_ != 5) return;
    if (left) {
        if (selectionState_ == 2) ClearSelection();
        drag_ = StartDrag(x, y);
        selectionState_ = 1;
        SetCaption(StartCaption(drag_.startX, drag_.startY));
    } else if (selectionState_ == 2) {
        ClearSelection();
    }
}

void TfrmEdit::UpdateDrag(int x, int y) {
    DrawDragFrame();
    DragTo(drag_, x, y, pictureWidth_, pictureHeight_);
    DrawDragFrame();
    SetCaption(RangeCaption(drag_.startX, drag_.startY, drag_.endX, drag_.endY));
}

void TfrmEdit::imgEditMouseMove(int x, int y) {
    if (toolMode_ == 5 && selectionState_ == 1) UpdateDrag(x, y);
}

void TfrmEdit::imgEditMouseUp(bool left, int x, int y) {
    if (toolMode_ == 5) {
        if (!left || selectionState_ != 1) return;
        UpdateDrag(x, y);
        settings_.StartX = drag_.startX, settings_.StartY = drag_.startY;
        settings_.EndX = drag_.endX, settings_.EndY = drag_.endY;
        LayoutEditor();
        selectionState_ = 2;
        return;
    }
    if (toolMode_ < 1 || toolMode_ > 4) return;
    if (x < 0 || y < 0 || x >= viewWidth_ || y >= viewHeight_) return;
    int32_t* colours[4] = {&settings_.Nuri, &settings_.Ami, &settings_.Mozi, &settings_.Kage};
    bool* transparent[4] = {&settings_.bNuri, &settings_.bAmi, &settings_.bMozi, &settings_.bKage};
    if (left) {
        BitmapCanvas view(view_.get(), Palette());
        *colours[toolMode_ - 1] = static_cast<int32_t>(::GetPixel(view.get(), x, y));
        *transparent[toolMode_ - 1] = false;
    } else {
        *transparent[toolMode_ - 1] = true;
    }
    DrawSwatches();
    DrawTextFrame();
}

// --- The memo's caret keys -------------------------------------------------------------

void TfrmEdit::mmEditKeyPress(wchar_t key) {
    const WORD arrow = CaretKeyFor(key);
    if (!arrow) return;
    // The memo must see the plain key, not Ctrl with it (a word move, a word deletion).
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    const BYTE ctrl = state[VK_CONTROL];
    state[VK_CONTROL] &= 0x7F;
    ::SetKeyboardState(state);
    ::SendMessageW(mmEdit_, WM_KEYDOWN, arrow, 1);
    state[VK_CONTROL] = ctrl | 0x80;
    ::SetKeyboardState(state);
}

// --- Write -----------------------------------------------------------------------------

void TfrmEdit::DrawLayers(HBITMAP bitmap) {
    BitmapCanvas canvas(bitmap, Palette());
    HDC dc = canvas.get();
    const EditSettings& s = settings_;
    ::SetROP2(dc, R2_COPYPEN);
    if (!s.bNuri) {
        const COLORREF colour = NearestColour(static_cast<COLORREF>(s.Nuri));
        UniquePen pen(::CreatePen(PS_SOLID, 1, colour));
        UniqueBrush brush(::CreateSolidBrush(colour));
        SelectIn usePen(dc, pen.get()), useBrush(dc, brush.get());
        ::Rectangle(dc, s.StartX, s.StartY, s.EndX, s.EndY);
    }
    if (!s.bAmi) {
        UniquePen pen(::CreatePen(PS_SOLID, 1, NearestColour(static_cast<COLORREF>(s.Ami))));
        SelectIn usePen(dc, pen.get());
        for (const Segment& line :
             MeshLines(s.StartX, s.StartY, s.EndX, s.EndY, pictureWidth_, pictureHeight_)) {
            ::MoveToEx(dc, line.x0, line.y0, nullptr);
            ::LineTo(dc, line.x1, line.y1);
        }
    }
    const int count = static_cast<int>(::SendMessageW(mmEdit_, EM_GETLINECOUNT, 0, 0));
    std::vector<std::wstring> lines;
    for (int i = 0; i < kTextLines && i < count; ++i) lines.push_back(MemoLine(mmEdit_, i));
    UniqueFont font = MakeFont(kTextHeight, L"FixedSys", FIXED_PITCH);
    SelectIn useFont(dc, font.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextCharacterExtra(dc, ReadableCharacterExtra(dc, lines, kCharacterExtra));
    auto write = [&](int32_t colour, std::initializer_list<POINT> offsets) {
        ::SetTextColor(dc, NearestColour(static_cast<COLORREF>(colour)));
        for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
            if (lines[i].empty()) continue;
            const int top = LineTop(i, s.StartY, s.Gyoukan);
            for (POINT o : offsets)
                ::TextOutW(dc, s.StartX + o.x, top + o.y, lines[i].c_str(),
                           static_cast<int>(lines[i].size()));
        }
    };
    if (!s.bKage) write(s.Kage, {{4, 3}, {3, 4}, {4, 4}, {5, 4}});
    if (!s.bMozi) write(s.Mozi, {{2, 3}, {3, 3}}); // twice, one pixel apart: bolder
    ::GdiFlush();
}

void TfrmEdit::btKakiClick() {
    DrawLayers(PictureBitmap().Bitmap());
    DrawLayers(view_.get());
    CopyViewToImage();
    DrawTextFrame();
}

// --- Window procedures -----------------------------------------------------------------

LRESULT TfrmEdit::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND: {
        if (saving_) return 0;
        const int id = LOWORD(wp);
        if (id >= idNuri && id <= idHanni)
            ToolButtonClick(id - idNuri + 1, ::SendMessageW(buttons_[id - idNuri], BM_GETCHECK, 0,
                                                            0) == BST_CHECKED);
        else if (id == idKaki)
            btKakiClick();
        else if (id == idSave)
            btSaveClick();
        else if (id == idCansel)
            btCanselClick();
        return 0;
    }
    case WM_NOTIFY: {
        const auto* n = reinterpret_cast<const NMUPDOWN*>(lp);
        if (n->hdr.hwndFrom == udGyou_ && n->hdr.code == UDN_DELTAPOS)
            udGyouClick(std::clamp(n->iPos + n->iDelta, 0, 100));
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lp) == lblGyou_) {
            HDC dc = reinterpret_cast<HDC>(wp);
            ::SetTextColor(dc, RGB(0, 0, 0));
            ::SetBkColor(dc, RGB(255, 255, 255));
            return reinterpret_cast<LRESULT>(white_.get());
        }
        break;
    case WM_HSCROLL:
        Scroll(SB_HORZ, LOWORD(wp));
        return 0;
    case WM_VSCROLL:
        Scroll(SB_VERT, LOWORD(wp));
        return 0;
    case WM_SIZE:
        if (imgEdit_) PlaceControls();
        break;
    case WM_CLOSE:
        if (!saving_) CloseWith(IDCANCEL);
        return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

LRESULT CALLBACK TfrmEdit::ImageProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TfrmEdit*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
    if (self && self->saving_ && msg != WM_PAINT) return ::DefWindowProcW(w, msg, wp, lp);
    const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(w, &ps);
        if (self && self->canvasDc_)
            ::BitBlt(dc, 0, 0, self->viewWidth_, self->viewHeight_, self->canvasDc_.get(), 0, 0,
                     SRCCOPY);
        ::EndPaint(w, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        ::SetCapture(w);
        if (self) self->imgEditMouseDown(msg == WM_LBUTTONDOWN, x, y);
        return 0;
    case WM_MOUSEMOVE:
        if (self) self->imgEditMouseMove(x, y);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: // any button but the left makes a picked layer transparent
        ::ReleaseCapture();
        if (self) self->imgEditMouseUp(msg == WM_LBUTTONUP, x, y);
        return 0;
    }
    return ::DefWindowProcW(w, msg, wp, lp);
}

LRESULT CALLBACK TfrmEdit::MemoProc(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                    DWORD_PTR data) {
    if (msg == WM_CHAR && CaretKeyFor(static_cast<wchar_t>(wp))) {
        reinterpret_cast<TfrmEdit*>(data)->mmEditKeyPress(static_cast<wchar_t>(wp));
        return 0;
    }
    return ::DefSubclassProc(w, msg, wp, lp);
}

// --- The E command ---------------------------------------------------------------------

bool RunEditor(BrowserPort& browser) {
    bool saved = false;
    {
        TfrmEdit frmEdit(browser);
        if (frmEdit.Create() && frmEdit.ShowModal() == IDOK) {
            saved = true;
            browser.Redraw(rdCells | (frmEdit.ListChanged() ? rdList : 0u));
        }
    }
    if (browser.State().PaletteDisplay) browser.RealizeDisplayPalette();
    return saved;
}

} // namespace tovn
