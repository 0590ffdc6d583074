#include "app/dialogs/inputbox.h"
#include "app/dialogs/dlgkit.h"

namespace tovn {
namespace {

class InputBox : public dlg::ModalDialog {
public:
    InputBox(const std::wstring& prompt, const std::wstring& text, size_t maxLength)
        : prompt_(prompt), text_(text), maxLength_(maxLength) {}
    const std::wstring& Text() const { return text_; }

private:
    void OnInit() override {
        Add(L"STATIC", prompt_, SS_LEFT | SS_NOPREFIX, kInputPrompt, 12, 12, 336, 18);
        HWND edit = Add(L"EDIT", text_, ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, kInputEdit, 12, 36,
                        336, 22, WS_EX_CLIENTEDGE);
        Add(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, 186, 72, 78, 26);
        Add(L"BUTTON", L"キャンセル", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 270, 72, 78, 26);
        if (maxLength_) ::SendMessageW(edit, EM_LIMITTEXT, maxLength_, 0);
        ::SetFocus(edit);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
    }
    bool OnCommand(int id, int, HWND) override {
        if (id == IDOK) text_ = dlg::TextOf(Item(kInputEdit));
        return false; // the frame ends the dialog
    }

    std::wstring prompt_;
    std::wstring text_;
    size_t maxLength_;
};

} // namespace

bool ShowInputBox(HWND owner, const std::wstring& caption, const std::wstring& prompt,
                  std::wstring& text, size_t maxLength) {
    InputBox box(prompt, text, maxLength);
    if (box.Run(owner, {caption, 360, 110, false}) != IDOK) return false;
    text = box.Text();
    return true;
}

} // namespace tovn
