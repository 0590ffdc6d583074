#include "support/browser_fixture.h"
#include "picture/picture_host.h"
#include "app/wait_window.h"
#include "app/win_text.h"
#include "core/slots.h"
#include <commctrl.h>
#include <algorithm>
#include <iterator>
#include <tuple>

namespace tovn::test {

namespace {
bool registered = false;
}

BrowserFixture::BrowserFixture() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (!registered) {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&icc);
        MainWindow::Register(instance);
        WaitWindow::Create(instance);
        registered = true;
    }
}

BrowserFixture::~BrowserFixture() {
    window.reset();
    Pump();
}

void BrowserFixture::MakePictures(int n, int width, int height) {
    for (int i = 1; i <= n; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"P%02d.BMP", i);
        WriteSolidBmp(pictures / name, width, height, static_cast<uint8_t>(i * 20), 100, 200);
    }
}

void BrowserFixture::Start(std::vector<std::wstring> args) {
    ASSERT_NE(Open(std::move(args)), nullptr);
    Pump();
}

HWND BrowserFixture::Open(std::vector<std::wstring> args) {
    MainWindowOptions o;
    o.iniPath = program / L"Tovn32.INI";
    o.programDir = program.Path();
    o.args = args.empty() ? std::vector<std::wstring>{pictures.Path()} : args;
    window = std::make_unique<MainWindow>(o);
    if (screenDepth) core().Pictures().screenDepth = [this](HDC) { return screenDepth; };
    return window->Create(::GetModuleHandleW(nullptr));
}

void BrowserFixture::Close() {
    ::SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
    Pump();
}

void BrowserFixture::Key(WORD key, unsigned shift) {
    // The modifiers are held in the thread's keyboard state, where the window reads them.
    BYTE before[256] = {}, held[256] = {};
    ::GetKeyboardState(before);
    std::copy(std::begin(before), std::end(before), held);
    held[VK_SHIFT] = shift & ssShift ? 0x80 : 0;
    held[VK_CONTROL] = shift & ssCtrl ? 0x80 : 0;
    held[VK_MENU] = shift & ssAlt || key == VK_MENU ? 0x80 : 0;
    ::SetKeyboardState(held);
    // Alt arrives as a system key, as it does from the keyboard.
    ::SendMessageW(window->Handle(), key == VK_MENU ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1);
    ::SetKeyboardState(before);
    Pump();
}

void BrowserFixture::SendKey(WORD key) {
    ::SendMessageW(window->Handle(), WM_KEYDOWN, key, 1);
}

void BrowserFixture::ClickGrid(int button, int x, int y) {
    const UINT message[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    ::SendMessageW(window->Handle(), message[button], 0, MAKELPARAM(x, y));
}

void BrowserFixture::DoubleClickGrid() {
    ::SendMessageW(window->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
}

void BrowserFixture::Menu(int id) {
    ::SendMessageW(window->Handle(), WM_COMMAND, id, 0);
    Pump();
}

std::vector<std::wstring> BrowserFixture::During(const std::function<void()>& step) {
    dialogs.events.clear();
    step();
    return dialogs.events;
}

void BrowserFixture::Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void BrowserFixture::RunIdle() {
    MSG msg;
    for (LoopTurn t; (t = RunLoopTurn(*window, msg, false)) != LoopTurn::Idle;)
        if (t == LoopTurn::Quit) return;
}

std::vector<uint32_t> BrowserFixture::GridPixels() {
    const int width = window->Image().Width(), height = window->Image().Height();
    const BITMAPINFO header = CellBitmapInfo(width, height);
    void* bits = nullptr;
    UniqueBitmap copy(::CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemDc dc(::CreateCompatibleDC(window->Image().Canvas()));
    {
        SelectIn selected(dc.get(), copy.get());
        ::BitBlt(dc.get(), 0, 0, width, height, window->Image().Canvas(), 0, 0, SRCCOPY);
        ::GdiFlush();
    }
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    return std::vector<uint32_t>(p, p + size_t(width) * height);
}

std::wstring BrowserFixture::Status(int panel) const {
    wchar_t buf[1024] = {};
    ::SendMessageW(window->StatusBar(), SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(buf));
    return buf;
}

COLORREF BrowserFixture::Pixel(int x, int y) const {
    return window->Image().Composite(x, y);
}

namespace {

std::vector<Band> Sorted(std::vector<Band> bands) {
    std::sort(bands.begin(), bands.end(), [](const Band& a, const Band& b) {
        return std::tie(a.rect.top, a.rect.left, a.rect.bottom, a.rect.right, a.rgb) <
               std::tie(b.rect.top, b.rect.left, b.rect.bottom, b.rect.right, b.rgb);
    });
    return bands;
}

bool Inside(const CellRect& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

} // namespace

void BrowserFixture::ExpectGridShowsBands(int paintedPage, bool cursorShown) {
    const BrowserState& s = st();
    const std::vector<Band> want = GridBands(s, paintedPage, cursorShown);
    EXPECT_TRUE(Sorted(want) == Sorted(window->Image().Bands()))
        << "the grid holds " << window->Image().Bands().size() << " bands, the state gives "
        << want.size();
    std::vector<POINT> points;
    const int third = s.CellHeight / 3;
    for (int cell = 1; cell <= s.CellsPerPage; ++cell) {
        const CellRect c = CellRectOf(cell, s.DispCount, s.CellWidth, s.CellHeight);
        for (int x : {c.left, (c.left + c.right) / 2, c.right - 1})
            for (int y : {c.top, c.top + third - 1, c.top + third, (c.top + c.bottom) / 2,
                          c.bottom - third - 1, c.bottom - third, c.bottom - 1})
                points.push_back(POINT{x, y});
    }
    HDC canvas = window->Image().Canvas();
    std::vector<COLORREF> composite, plain, drawn;
    for (POINT p : points) {
        composite.push_back(window->Image().Composite(p.x, p.y));
        plain.push_back(::GetPixel(canvas, p.x, p.y));
    }
    for (const Band& b : want) XorBand(canvas, b.rect, b.rgb);
    ::GdiFlush();
    for (POINT p : points) drawn.push_back(::GetPixel(canvas, p.x, p.y));
    for (const Band& b : want) XorBand(canvas, b.rect, b.rgb); // the canvas as it was
    ::GdiFlush();
    const bool trueColour = ::GetDeviceCaps(canvas, BITSPIXEL) > 8;
    int differing = 0, notXor = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        differing += composite[i] != drawn[i];
        COLORREF x = plain[i];
        for (const Band& b : want)
            if (Inside(b.rect, points[i]))
                x ^= RGB((b.rgb >> 16) & 0xFF, (b.rgb >> 8) & 0xFF, b.rgb & 0xFF);
        notXor += trueColour && x != drawn[i];
    }
    EXPECT_EQ(differing, 0) << "of " << points.size() << " points";
    EXPECT_EQ(notXor, 0) << "of " << points.size() << " points";
}

void BrowserFixture::EnterArchive(const std::wstring& name) {
    core().SetPlace(core().ArchiveAt(st().CurrentDir, name));
}

void BrowserFixture::EnterFolder(const std::wstring& folder) {
    core().SetPlace(core().FolderAt(folder));
}

std::wstring BrowserFixture::CursorName() const {
    const BrowserState& s = window->Core().State();
    int i = (s.CurrentPage - 1) * s.CellsPerPage + s.CursorCell - 1;
    return i >= 0 && i < static_cast<int>(s.FileList.size()) ? s.FileList[i].name : L"";
}

std::wstring BrowserFixture::IniText(const wchar_t* section, const wchar_t* key) const {
    wchar_t buf[1024];
    ::GetPrivateProfileStringW(section, key, L"<absent>", buf, 1024,
                               (program / L"Tovn32.INI").c_str());
    return buf;
}

void BrowserFixture::PutIni(const wchar_t* section, const wchar_t* key,
                            const std::wstring& value) const {
    ::WritePrivateProfileStringW(section, key, value.c_str(), (program / L"Tovn32.INI").c_str());
}

void BrowserFixture::ExpectReplacedFileKept(const std::wstring& path, const std::wstring& backupDir,
                                            const std::function<void()>& step) {
    const std::string decoy = "another file of the same name";
    const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    const bool trashKnown = !TrashPath(L"").empty();
    st().BackupDir = backupDir;
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        st().BackupMode = mode;
        WriteTextFile(path, decoy);
        ::DeleteFileW((backupDir + name).c_str());
        const int trashed = TrashCount(name);
        step();
        std::string now, backedUp;
        ReadFileBytes(path, now);
        ReadFileBytes(backupDir + name, backedUp);
        EXPECT_NE(now, decoy);
        EXPECT_EQ(backedUp == decoy, mode == 2);
        if (trashKnown) {
            EXPECT_EQ(TrashCount(name) - trashed, mode == 1 ? 1 : 0);
        }
    }
}

} // namespace tovn::test
