#include "capture/capture.h"
#include "fileops/slot_edits.h"
#include "app/dialogs.h"
#include "app/report.h"
#include "browser/browser_port.h"
#include "capture/screen_copy.h"
#include "core/capture_name.h"
#include "core/slots.h"

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
Result WriteNewFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    {
        UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return Result::Standard(L"Cannot create file " + path);
        DWORD written = 0;
        if (::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                        nullptr) &&
            written == bytes.size())
            return Result::Ok();
    }
    ::DeleteFileW(path.c_str());
    return Result::Standard(L"Stream write error");
}

} // namespace

Capture::Capture(BrowserPort& browser, std::wstring hookLibrary)
    : browser_(browser), hookLibrary_(std::move(hookLibrary)) {}

Capture::~Capture() {
    UnloadHook();
}

void Capture::N6Click() {
    const BrowserState& st = browser_.State();
    if (st.CaptureMode) {
        UnloadHook();
        browser_.SetCaptureMode(false);
    } else {
        const Result loaded = LoadHook();
        Report(browser_.Owner(), loaded);
        if (!loaded) return;
        browser_.SetCaptureMode(true);
    }
    browser_.Redraw(rdStatusBar);
}

Result Capture::LoadHook() {
    hookSet_ = false;
    const Result notLoaded =
        Result::Error(L"TovnKH.DLLのロードに失敗しました．", L"Can not Load TovnKH.DLL.");
    if (!hookLib_) hookLib_.reset(::LoadLibraryW(hookLibrary_.c_str()));
    if (!hookLib_) return notLoaded;
    setHookProc_ = Entry<SetHookFn>(hookLib_.get(), "SetHook");
    removeHookProc_ = Entry<RemoveHookFn>(hookLib_.get(), "RemoveHook");
    if (!setHookProc_ || !removeHookProc_) return notLoaded;
    return InstallHook();
}

Result Capture::InstallHook() {
    if (hookSet_) return Result::Ok();
    // Only the low byte of the library's boolean counts.
    if (!(setHookProc_(browser_.Owner()) & 0xFF)) return Result::Standard(L"SetHook failed");
    hookSet_ = true;
    return Result::Ok();
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

void Capture::HookMessage(WPARAM key, LPARAM flags) {
    const BrowserState& st = browser_.State();
    if (!st.CaptureMode || key != static_cast<WPARAM>(st.CaptureKey) || !(flags & kKeyReleased))
        return;
    Report(browser_.Owner(), TakeCapture());
}

Result Capture::TakeCapture() {
    CurrentDialogs().Beep(); // the shutter
    std::wstring name;
    Result saved = SaveCapture(name);
    if (!saved || name.empty()) return saved;
    const BrowserState& st = browser_.State();
    browser_.ApplySlots(SlotChanges::Appended(name));
    browser_.PaintSlot(static_cast<int>(st.FileList.size()) - 1); // drawn when on the page
    browser_.Redraw(rdScrollBar | rdStatusBar);
    return Result::Ok();
}

// name: the file's bare name, or empty when the foreground window has no client area to copy.
Result Capture::SaveCapture(std::wstring& name) {
    name.clear();
    std::vector<uint8_t> bytes = ClientAreaBmp(::GetForegroundWindow());
    if (bytes.empty()) return Result::Ok();
    const BrowserState& st = browser_.State();
    const std::wstring free = FirstFreeCaptureName(
        st.CaptureFileName, [&](const std::wstring& n) { return NameTaken(st.CurrentDir + n); });
    Result written = WriteNewFile(st.CurrentDir + free, bytes);
    if (written) name = free;
    return written;
}

} // namespace tovn
