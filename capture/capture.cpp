#include "capture/capture.h"
#include "app/dialogs.h"
#include "browser/browser_port.h"
#include "browser/menu.h"
#include "capture/screen_copy.h"
#include "core/capture_name.h"
#include "core/slots.h"
#include <optional>

namespace tovn {

namespace {

constexpr LPARAM kKeyReleased = static_cast<LPARAM>(1u << 31);

template <typename Fn> Fn Entry(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// Any file or folder of that name keeps the number taken.
bool NameTaken(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Writes a new file; never replaces one that appeared since its name was chosen. A file
// that could not be written whole is removed again.
void WriteNewFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    {
        UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) throw CommandError(L"Cannot create file " + path);
        DWORD written = 0;
        if (::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                        nullptr) &&
            written == bytes.size())
            return;
    }
    ::DeleteFileW(path.c_str());
    throw CommandError(L"Stream write error");
}

} // namespace

Capture::Capture(BrowserPort& browser, std::wstring hookLibrary)
    : browser_(browser), hookLibrary_(std::move(hookLibrary)) {}

Capture::~Capture() {
    UnloadHook();
}

void Capture::N6Click() {
    HWND owner = browser_.Owner();
    BrowserState& st = browser_.State();
    CurrentDialogs().Beep();
    if (st.SortMode)
        return Warn(owner, L"ソートモード中は，キャプチャー出来ません．", L"Capture Mode");
    if (st.LhaMode) return Warn(owner, L"LHAモード中は，キャプチャー出来ません．", L"Capture Mode");
    if (st.CaptureMode) {
        UnloadHook();
        st.CaptureMode = false;
        ShowCheck(false);
    } else {
        try {
            if (LoadHook()) {
                st.CaptureMode = true;
                ShowCheck(true);
            } else {
                Warn(owner, L"TovnKH.DLLのロードに失敗しました．", L"Can not Load TovnKH.DLL.");
            }
        } catch (const CommandError& e) {
            ShowError(owner, e.Text());
            return;
        }
    }
    browser_.Redraw(rdStatusBar);
}

bool Capture::LoadHook() {
    hookSet_ = false;
    if (!hookLib_) hookLib_.reset(::LoadLibraryW(hookLibrary_.c_str()));
    if (!hookLib_) return false;
    setHookProc_ = Entry<SetHookFn>(hookLib_.get(), "SetHook");
    removeHookProc_ = Entry<RemoveHookFn>(hookLib_.get(), "RemoveHook");
    if (!setHookProc_ || !removeHookProc_) return false;
    InstallHook();
    return true;
}

void Capture::InstallHook() {
    if (hookSet_) return;
    // Only the low byte of the library's boolean counts.
    if (!(setHookProc_(browser_.Owner()) & 0xFF)) throw CommandError(L"SetHook failed");
    hookSet_ = true;
}

void Capture::RemoveHookIfSet() {
    if (hookSet_) removeHookProc_();
    hookSet_ = false;
}

void Capture::UnloadHook() {
    RemoveHookIfSet();
    hookLib_.reset();
    setHookProc_ = nullptr;
    removeHookProc_ = nullptr;
}

void Capture::ShowCheck(bool on) {
    ::CheckMenuItem(::GetMenu(browser_.Owner()), idN6,
                    MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void Capture::HookMessage(WPARAM key, LPARAM flags) {
    const BrowserState& st = browser_.State();
    if (!st.CaptureMode || key != static_cast<WPARAM>(st.CaptureKey) || !(flags & kKeyReleased))
        return;
    try {
        TakeCapture();
    } catch (const CommandError& e) {
        ShowError(browser_.Owner(), e.Text());
    }
}

void Capture::TakeCapture() {
    CurrentDialogs().Beep();
    std::wstring name = SaveCapture();
    if (name.empty()) return;
    BrowserState& st = browser_.State();
    st.FileList.push_back({name, 0});
    ShowNewSlot(static_cast<int>(st.FileList.size()) - 1);
    browser_.Redraw(rdScrollBar | rdStatusBar);
}

// The file's bare name, or empty when the foreground window has no client area to copy.
std::wstring Capture::SaveCapture() {
    std::vector<uint8_t> bytes = ClientAreaBmp(::GetForegroundWindow());
    if (bytes.empty()) return {};
    const BrowserState& st = browser_.State();
    std::wstring name = FirstFreeCaptureName(
        st.CaptureFileName, [&](const std::wstring& n) { return NameTaken(st.CurrentDir + n); });
    WriteNewFile(st.CurrentDir + name, bytes);
    return name;
}

// The new cell drawn at once when it lies on the page; on the cursor cell the cursor band
// is drawn over it again.
void Capture::ShowNewSlot(int slot) {
    const BrowserState& st = browser_.State();
    if (PageOf(slot, st.CellsPerPage) != st.CurrentPage) return;
    std::optional<CursorBandHidden> band;
    if (CursorSlot(st) == slot) band.emplace(browser_);
    browser_.PaintSlot(slot);
}

} // namespace tovn
