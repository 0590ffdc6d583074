#include <gtest/gtest.h>
#include "app/dialogs.h"
#include "app/dialogs/inputbox.h"
#include "app/dialogs/tests/driver.h"

namespace tovn {
namespace {

using test::OnShown;

TEST(InputBox, ShowsCaptionPromptAndSelectedDefault) {
    std::wstring caption, prompt;
    DWORD from = 1, to = 0;
    int focus = 0;
    OnShown hook([&](HWND w) {
        test::PauseForLook();
        caption = dlg::TextOf(w);
        prompt = test::Text(w, kInputPrompt);
        ::SendMessageW(::GetDlgItem(w, kInputEdit), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                       reinterpret_cast<LPARAM>(&to));
        focus = test::FocusedId(w);
        test::Click(w, IDOK);
    });
    std::wstring text = L"12";
    EXPECT_TRUE(ShowInputBox(nullptr, L"Page Jump", L"ページを入力して下さい．", text));
    EXPECT_EQ(caption, L"Page Jump");
    EXPECT_EQ(prompt, L"ページを入力して下さい．");
    EXPECT_EQ(focus, kInputEdit);
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 2u);
    EXPECT_EQ(text, L"12");
}

TEST(InputBox, OkAndEnterReturnTheTypedTextCancelAndEscapeKeepTheDefault) {
    struct Case {
        UINT key; // 0: a button click
        int button;
        bool ok;
    } cases[] = {
        {0, IDOK, true}, {VK_RETURN, 0, true}, {0, IDCANCEL, false}, {VK_ESCAPE, 0, false}};
    for (const auto& c : cases) {
        OnShown hook([&](HWND w) {
            HWND edit = ::GetDlgItem(w, kInputEdit);
            ::SetWindowTextW(edit, L"ファイル");
            if (c.key) {
                ::PostMessageW(edit, WM_KEYDOWN, c.key, 0);
            } else {
                test::Click(w, c.button);
            }
        });
        std::wstring text = L"old";
        EXPECT_EQ(ShowInputBox(nullptr, L"ファイル圧縮", L"ファイル名を入力して下さい．", text),
                  c.ok);
        EXPECT_EQ(text, c.ok ? L"ファイル" : L"old");
    }
}

TEST(InputBox, ALimitStopsTypingAndPastingButShowsALongerDefaultWhole) {
    std::wstring shown, typed;
    OnShown hook([&](HWND w) {
        HWND edit = ::GetDlgItem(w, kInputEdit);
        shown = dlg::TextOf(edit);
        ::SetWindowTextW(edit, L"");
        for (int i = 0; i < 7; ++i) ::SendMessageW(edit, WM_CHAR, L'x', 0);
        typed = dlg::TextOf(edit);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"写真写真写真写真"));
        test::Click(w, IDOK);
    });
    std::wstring text = L"abcdefgh";
    EXPECT_TRUE(ShowInputBox(nullptr, L"Input Tovane 32 MCR", L"p", text, 5));
    EXPECT_EQ(shown, L"abcdefgh");
    EXPECT_EQ(typed, L"xxxxx");
    EXPECT_EQ(text, L"写真写真写");
}

TEST(InputBox, TheSeamShowsTheRealDialogs) {
    OnShown hook([&](HWND w) {
        test::SetText(w, kInputEdit, L"3");
        test::Click(w, IDOK);
    });
    std::wstring text;
    EXPECT_TRUE(CurrentDialogs().Input(nullptr, L"Page Jump", L"p", text));
    EXPECT_EQ(text, L"3");

    OnShown choose([&](HWND w) {
        EXPECT_EQ(dlg::TextOf(w), L"縮小画面　表示数");
        test::Click(w, IDOK);
    });
    ChooserRequest r;
    r.purpose = L"Kazu";
    r.dispCount = 9;
    ChooserAnswer a;
    EXPECT_TRUE(CurrentDialogs().Choose(nullptr, r, a));
    EXPECT_EQ(a.count, 9);
}

} // namespace
} // namespace tovn
