#include "app/dialogs.h"
#include "app/report.h"
#include "app/dialogs/inputbox.h"
#include "app/dialogs/seledire.h"
namespace tovn {
namespace {
class RealDialogs : public Dialogs {
public:
    void Beep() override { ::MessageBeep(MB_OK); }
    int Message(HWND owner, const std::wstring& text, const std::wstring& caption,
                UINT flags) override {
        return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
    }
    bool Input(HWND owner, const std::wstring& caption, const std::wstring& prompt,
               std::wstring& text, size_t maxLength) override {
        return ShowInputBox(owner, caption, prompt, text, maxLength);
    }
    bool Choose(HWND owner, const ChooserRequest& request, ChooserAnswer& answer) override {
        return ShowChooser(owner, request, answer);
    }
};
RealDialogs realDialogs;
Dialogs* installed = nullptr;
} // namespace
Dialogs& CurrentDialogs() {
    return installed ? *installed : realDialogs;
}
void Warn(HWND owner, const std::wstring& text, const std::wstring& caption) {
    Report(owner, Result::Error(text, caption));
}

void ReportWriteError(HWND owner, const std::wstring& path) {
    Warn(owner, L"ファイルを書き込めません．\n" + path, L"Write Error");
}

Dialogs* InstallDialogs(Dialogs* d) {
    Dialogs* old = installed;
    installed = d;
    return old;
}
} // namespace tovn
