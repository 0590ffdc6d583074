#include <gtest/gtest.h>
#include <algorithm>
#include "app/dialogs/option.h"
#include <commctrl.h>
#include "app/dialogs/tests/driver.h"

namespace tovn {
namespace {

using test::Click;
using test::OnShown;
using test::RecordingDialogs;
using test::ScratchFolder;

const std::wstring kNoDir = L"ﾊﾞｯｸｱｯﾌﾟﾃﾞｨﾚｸﾄﾘが設定されていません．";
const std::wstring kMakeFailed = L"Error: ﾊﾞｯｸｱｯﾌﾟﾃﾞｨﾚｸﾄﾘの作成に失敗しました．";
const std::wstring kNoCapName =
    L"Capture File Name Error: キャプチャーファイル名が設定されていません．";

int Checked(HWND w, int firstId, int count) {
    return dlg::CheckedIndex(w, firstId, count);
}

std::wstring IniString(const std::wstring& ini, const wchar_t* key) {
    wchar_t buf[64] = {};
    ::GetPrivateProfileStringW(L"Window", key, L"(none)", buf, 64, ini.c_str());
    return buf;
}

// Turns to a tab as a click on it would.
void ShowTab(HWND w, int index) {
    HWND tabs = ::GetDlgItem(w, kPcOption);
    ::SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    NMHDR n{tabs, static_cast<UINT_PTR>(kPcOption), static_cast<UINT>(TCN_SELCHANGE)};
    ::SendMessageW(w, WM_NOTIFY, kPcOption, reinterpret_cast<LPARAM>(&n));
}

struct OptionsFixture : testing::Test {
    ScratchFolder dir;
    std::wstring ini = dir.Path() + L"Tovn32.INI";
    BrowserState state;
    RecordingDialogs seam;
};

TEST_F(OptionsFixture, ShowFillsEveryControlFromStateAndSettings) {
    ::WritePrivateProfileStringW(L"Window", L"Syoki", L"1", ini.c_str());
    ::WritePrivateProfileStringW(L"Window", L"Syokisu", L"4", ini.c_str());
    state.BackupMode = 2;
    state.BackupDir = L"D:\\BACK\\";
    state.LongFileNames = true;
    state.SlideSync = false;
    state.ReductionLevel = 6;
    state.CaptureFileName = L"CAP";
    state.CaptureKey = VK_F9;
    OnShown hook([&](HWND w) {
        test::PauseForLook();
        EXPECT_EQ(dlg::TextOf(w), L"オプション　設定");
        EXPECT_TRUE(::GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
        RECT r;
        ::GetClientRect(w, &r);
        EXPECT_GE(r.right, 345); // wider where the texts need it
        EXPECT_EQ(r.bottom, 326);
        EXPECT_EQ(Checked(w, kRgGamen, 2), 0);
        EXPECT_EQ(test::Text(w, kLbKazu), L"4×4");
        EXPECT_EQ(Checked(w, kRgBackUp, 3), 2);
        EXPECT_EQ(test::Text(w, kEdBackDire), L"D:\\BACK\\");
        EXPECT_EQ(Checked(w, kRgLongName, 2), 1);
        EXPECT_EQ(Checked(w, kRgSlide, 2), 1);
        EXPECT_EQ(Checked(w, kRgHueden, 3), 1);
        EXPECT_EQ(test::Text(w, kEdCapName), L"CAP");
        EXPECT_EQ(test::Text(w, kCbCapKey), L"F9");
        HWND tabs = ::GetDlgItem(w, kPcOption);
        EXPECT_EQ(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
        Click(w, IDCANCEL);
    });
    EXPECT_FALSE(ShowOptions(nullptr, state, ini));
    EXPECT_EQ(hook.Calls(), 1);
}

TEST_F(OptionsFixture, MissingSettingsAndOddValuesLeaveDefaultsAndNoSelection) {
    state.ReductionLevel = 5;
    state.CaptureKey = 50;
    OnShown hook([&](HWND w) {
        EXPECT_EQ(Checked(w, kRgGamen, 2), 1);
        EXPECT_EQ(test::Text(w, kLbKazu), L"3×3");
        EXPECT_EQ(Checked(w, kRgHueden, 3), -1);
        Click(w, IDOK);
    });
    EXPECT_TRUE(ShowOptions(nullptr, state, ini));
    EXPECT_EQ(state.ReductionLevel, 5);
    EXPECT_EQ(state.CaptureKey, 50); // no key chosen: left as it was
    EXPECT_EQ(IniString(ini, L"Syoki"), L"0");
    EXPECT_EQ(IniString(ini, L"Syokisu"), L"3");
}

TEST_F(OptionsFixture, OkStoresEveryChoice) {
    OnShown hook([&](HWND w) {
        Click(w, kRgBackUp + 1);
        Click(w, kRgLongName + 1);
        Click(w, kRgSlide + 1);
        Click(w, kRgGamen + 0);
        ShowTab(w, 2);
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(w, kRgBackUp)));
        Click(w, kRgHueden + 2);
        test::PauseForLook();
        ShowTab(w, 1);
        test::PauseForLook();
        test::SetText(w, kEdCapName, L"SHOT");
        ::SendMessageW(::GetDlgItem(w, kCbCapKey), CB_SETCURSEL, 14, 0);
        Click(w, IDOK);
    });
    EXPECT_TRUE(ShowOptions(nullptr, state, ini));
    EXPECT_EQ(state.BackupMode, 1);
    EXPECT_TRUE(state.LongFileNames);
    EXPECT_FALSE(state.SlideSync);
    EXPECT_EQ(state.ReductionLevel, 8);
    EXPECT_EQ(state.CaptureFileName, L"SHOT");
    EXPECT_EQ(state.CaptureKey, 126);
    EXPECT_EQ(IniString(ini, L"Syoki"), L"1");
    EXPECT_TRUE(seam.events.empty());
}

TEST_F(OptionsFixture, BackupFolderGetsItsBackslashAndIsCreatedWithParents) {
    const std::wstring typed = dir.Path() + L"a\\b\\c";
    OnShown hook([&](HWND w) {
        Click(w, kRgBackUp + 2);
        test::SetText(w, kEdBackDire, typed);
        Click(w, IDOK);
    });
    EXPECT_TRUE(ShowOptions(nullptr, state, ini));
    EXPECT_EQ(state.BackupMode, 2);
    EXPECT_EQ(state.BackupDir, typed + L"\\");
    EXPECT_TRUE(dlg::IsFolder(typed));
    EXPECT_TRUE(seam.events.empty());
}

TEST_F(OptionsFixture, UncreatableFolderKeepsTheDialogOpenAndCancelKeepsTheOtherChanges) {
    const std::wstring file = dir.MakeFile(L"plain.txt");
    state.BackupDir = L"OLD\\";
    bool open = false;
    int focus = 0;
    std::wstring shown;
    OnShown hook([&](HWND w) {
        Click(w, kRgBackUp + 2);
        Click(w, kRgLongName + 1);
        test::SetText(w, kEdBackDire, file + L"\\sub");
        Click(w, IDOK);
        open = test::IsOpen(w);
        focus = test::FocusedId(w);
        shown = test::Text(w, kEdBackDire);
        Click(w, IDCANCEL);
    });
    EXPECT_FALSE(ShowOptions(nullptr, state, ini));
    EXPECT_TRUE(open);
    EXPECT_EQ(focus, kEdBackDire);
    EXPECT_EQ(shown, file + L"\\sub\\");
    EXPECT_EQ(seam.events, (std::vector<std::wstring>{L"beep", kMakeFailed}));
    EXPECT_EQ(seam.messages.at(0).flags, UINT(MB_OK));
    EXPECT_NE(seam.messages.at(0).owner, nullptr);
    // The failed OK still took effect in memory, but not for the folder.
    EXPECT_EQ(state.BackupMode, 2);
    EXPECT_TRUE(state.LongFileNames);
    EXPECT_EQ(state.BackupDir, L"OLD\\");
    // And the start count reached the settings file at once.
    EXPECT_EQ(IniString(ini, L"Syokisu"), L"3");
}

TEST_F(OptionsFixture, NoBackupAndRecycleBinSkipTheFolderChecks) {
    for (int mode : {0, 1}) {
        OnShown hook([&](HWND w) {
            Click(w, kRgBackUp + mode);
            test::SetText(w, kEdBackDire, L"");
            Click(w, IDOK);
        });
        EXPECT_TRUE(ShowOptions(nullptr, state, ini));
        EXPECT_EQ(state.BackupMode, mode);
    }
    EXPECT_TRUE(seam.events.empty());
}

TEST_F(OptionsFixture, EmptyCaptureNameKeepsTheDialogOpen) {
    bool open = false;
    int focus = 0;
    OnShown hook([&](HWND w) {
        test::SetText(w, kEdCapName, L"");
        Click(w, IDOK);
        open = test::IsOpen(w);
        focus = test::FocusedId(w);
        Click(w, IDCANCEL);
    });
    EXPECT_FALSE(ShowOptions(nullptr, state, ini));
    EXPECT_TRUE(open);
    EXPECT_EQ(focus, kEdCapName);
    EXPECT_EQ(seam.events, (std::vector<std::wstring>{L"beep", kNoCapName}));
    EXPECT_EQ(state.CaptureFileName, L"TOVN_");
}

TEST_F(OptionsFixture, BothFailuresShowBothMessagesInOrder) {
    OnShown hook([&](HWND w) {
        Click(w, kRgBackUp + 2);
        test::SetText(w, kEdBackDire, L"");
        test::SetText(w, kEdCapName, L"");
        Click(w, IDOK);
        Click(w, IDCANCEL);
    });
    EXPECT_FALSE(ShowOptions(nullptr, state, ini));
    EXPECT_EQ(seam.events,
              (std::vector<std::wstring>{L"beep", L"Back up Directory Error: " + kNoDir, L"beep",
                                         kNoCapName}));
}

TEST_F(OptionsFixture, CaptureNameIsNotStoredWhenTheFolderFails) {
    OnShown hook([&](HWND w) {
        Click(w, kRgBackUp + 2);
        test::SetText(w, kEdBackDire, L"");
        test::SetText(w, kEdCapName, L"NEW");
        Click(w, IDOK);
        Click(w, IDCANCEL);
    });
    EXPECT_FALSE(ShowOptions(nullptr, state, ini));
    EXPECT_EQ(state.CaptureFileName, L"TOVN_");
}

// Presses one arrow of the up-down with the mouse.
void PressArrow(HWND ud, bool up) {
    RECT r;
    ::GetClientRect(ud, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, up ? r.bottom / 4 : r.bottom * 3 / 4);
    ::SendMessageW(ud, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(ud, WM_LBUTTONUP, 0, at);
}

TEST_F(OptionsFixture, UpDownStopsAtOneAndThirtyAndTheLabelFollows) {
    ::WritePrivateProfileStringW(L"Window", L"Syokisu", L"29", ini.c_str());
    std::vector<std::wstring> labels;
    OnShown hook([&](HWND w) {
        HWND ud = ::GetDlgItem(w, kUdKazu);
        for (int i = 0; i < 3; ++i) {
            PressArrow(ud, true);
            labels.push_back(test::Text(w, kLbKazu));
        }
        for (int i = 0; i < 32; ++i) PressArrow(ud, false);
        labels.push_back(test::Text(w, kLbKazu));
        PressArrow(ud, true);
        labels.push_back(test::Text(w, kLbKazu));
        Click(w, IDOK);
    });
    EXPECT_TRUE(ShowOptions(nullptr, state, ini));
    EXPECT_EQ(labels, (std::vector<std::wstring>{L"30×30", L"30×30", L"30×30", L"1×1", L"2×2"}));
    EXPECT_EQ(IniString(ini, L"Syokisu"), L"2");
}

// Rectangle of a control in its dialog's client pixels.
RECT ClientRectOf(HWND dialog, HWND control) {
    RECT r;
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(OptionsFixture, EveryTextFitsItsControlAndEveryControlTheTabs) {
    std::vector<std::wstring> checked;
    OnShown hook([&](HWND w) {
        const RECT tabs = ClientRectOf(w, ::GetDlgItem(w, kPcOption));
        RECT client;
        ::GetClientRect(w, &client);
        EXPECT_LE(tabs.right, client.right);
        for (HWND c = ::GetWindow(w, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            const std::wstring text = dlg::TextOf(c);
            wchar_t cls[32] = {};
            ::GetClassNameW(c, cls, 32);
            const auto style = static_cast<DWORD>(::GetWindowLongPtrW(c, GWL_STYLE));
            const RECT r = ClientRectOf(w, c);
            if (::GetDlgCtrlID(c) != kPcOption && ::GetDlgCtrlID(c) != IDOK &&
                ::GetDlgCtrlID(c) != IDCANCEL) {
                EXPECT_LE(r.right, tabs.right) << text;
            }
            // Room beside the text: the round button, or the frame's ends around a caption.
            int room = -1;
            if (std::wstring(cls) == L"Static" && (style & SS_TYPEMASK) == SS_LEFT) room = 0;
            if (std::wstring(cls) == L"Button" && (style & BS_TYPEMASK) == BS_GROUPBOX) room = 12;
            if (std::wstring(cls) == L"Button" && (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                room = 16;
            if (room < 0 || text.empty()) continue;
            HDC dc = ::GetDC(c);
            HGDIOBJ old =
                ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(c, WM_GETFONT, 0, 0)));
            SIZE size{};
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
            ::SelectObject(dc, old);
            ::ReleaseDC(c, dc);
            EXPECT_GE(r.right - r.left, size.cx + room) << text;
            checked.push_back(text);
        }
        Click(w, IDCANCEL);
    });
    ShowOptions(nullptr, state, ini);
    // The labels and group captions of all three pages were among them.
    for (const wchar_t* t :
         {L"・キャプチャーKey", L"・ファイル名",
          L"Hueden 減色レベル(２５６色環境，True画像表示時）", L"任意のディレクトリ"})
        EXPECT_NE(std::find(checked.begin(), checked.end(), t), checked.end()) << checked.size();
}

TEST_F(OptionsFixture, StoredCountOutsideTheRangeShowsClamped) {
    ::WritePrivateProfileStringW(L"Window", L"Syokisu", L"99", ini.c_str());
    std::wstring label;
    OnShown hook([&](HWND w) {
        label = test::Text(w, kLbKazu);
        Click(w, IDCANCEL);
    });
    EXPECT_FALSE(ShowOptions(nullptr, state, ini));
    EXPECT_EQ(label, L"30×30");
}

} // namespace
} // namespace tovn
