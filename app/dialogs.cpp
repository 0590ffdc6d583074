#include "app/dialogs.h"
namespace tovn {
namespace {
class RealDialogs : public Dialogs {
public:
    void Beep() override { ::MessageBeep(MB_OK); }
    int Message(HWND owner, const std::wstring& text, const std::wstring& caption,
                UINT flags) override {
        return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
    }
    bool Input(HWND, const std::wstring&, const std::wstring&, std::wstring&) override {
        return false;
    }
    bool Choose(HWND, const ChooserRequest&, ChooserAnswer&) override { return false; }
};
RealDialogs realDialogs;
Dialogs* installed = nullptr;
} // namespace
Dialogs& CurrentDialogs() {
    return installed ? *installed : realDialogs;
}
Dialogs* InstallDialogs(Dialogs* d) {
    Dialogs* old = installed;
    installed = d;
    return old;
}
} // namespace tovn
