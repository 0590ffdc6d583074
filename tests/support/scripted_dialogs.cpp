#include "support/scripted_dialogs.h"

namespace tovn::test {

int ScriptedDialogs::Message(HWND owner, const std::wstring& text, const std::wstring& caption,
                             UINT flags) {
    messages.push_back({text, caption, flags, owner});
    events.push_back(caption + L": " + text);
    if (messageAnswers.empty()) return IDOK;
    int a = messageAnswers.front();
    messageAnswers.pop_front();
    return a;
}

bool ScriptedDialogs::Input(HWND, const std::wstring& caption, const std::wstring& prompt,
                            std::wstring& text, size_t maxLength) {
    inputs.push_back({caption, prompt, text, maxLength});
    if (inputAnswers.empty()) return false;
    std::optional<std::wstring> a = inputAnswers.front();
    inputAnswers.pop_front();
    if (!a) return false;
    text = *a;
    return true;
}

bool ScriptedDialogs::Choose(HWND, const ChooserRequest& request, ChooserAnswer& answer) {
    chooserRequests.push_back(request);
    if (choices.empty()) {
        answer.folder = request.currentDir;
        answer.count = request.dispCount;
        return false;
    }
    Choice c = choices.front();
    choices.pop_front();
    answer = c.answer;
    return c.ok;
}

} // namespace tovn::test
