// A dialog seam for tests: counts beeps, records message boxes, and answers message boxes,
// input boxes and the chooser from scripted queues.
#pragma once
#include "app/dialogs.h"
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tovn::test {

struct ShownMessage {
    std::wstring text, caption;
    UINT flags;
    HWND owner;
};

struct ShownInput {
    std::wstring caption, prompt, initial;
    size_t maxLength = 0;
};

class ScriptedDialogs : public Dialogs {
public:
    ScriptedDialogs() : previous_(InstallDialogs(this)) {}
    ~ScriptedDialogs() override { InstallDialogs(previous_); }

    void Beep() override {
        ++beeps;
        events.push_back(L"beep");
    }
    int Message(HWND owner, const std::wstring& text, const std::wstring& caption,
                UINT flags) override;
    bool Input(HWND, const std::wstring& caption, const std::wstring& prompt, std::wstring& text,
               size_t maxLength) override;
    bool Choose(HWND, const ChooserRequest& request, ChooserAnswer& answer) override;

    int beeps = 0;
    std::vector<ShownMessage> messages;
    std::vector<std::wstring> events; // in order: "beep" or "caption: text"
    std::vector<ShownInput> inputs;
    std::vector<ChooserRequest> chooserRequests;
    std::deque<int> messageAnswers;                       // default IDOK
    std::deque<std::optional<std::wstring>> inputAnswers; // nullopt = Cancel; default Cancel
    struct Choice {
        bool ok;
        ChooserAnswer answer;
    };
    std::deque<Choice> choices; // default Cancel

private:
    Dialogs* previous_;
};

} // namespace tovn::test
