#include "app/dialogs/option.h"
#include <commctrl.h>
#include <algorithm>
#include <array>
#include <vector>
#include "app/dialogs.h"
#include "app/dialogs/chooser_rules.h"
#include "app/dialogs/dlgkit.h"
#include "app/settings.h"
#include "core/settings_values.h"

namespace tovn {
namespace {

constexpr int kMinKazu = keys::Syokisu.low, kMaxKazu = keys::Syokisu.high;
constexpr int kFirstCaptureKey = keys::CaptureKey.low, kLastCaptureKey = keys::CaptureKey.high;
constexpr std::array<int, 3> kLevels = {4, 6, 8};
constexpr wchar_t kWindow[] = L"Window";

// Creates the folder with every missing parent; true when it exists afterwards.
bool MakeFolders(const std::wstring& folder) {
    for (const auto& level : PathLevels(folder)) {
        if (!dlg::IsFolder(level)) ::CreateDirectoryW(level.c_str(), nullptr);
    }
    return dlg::IsFolder(folder);
}

class Options : public dlg::ModalDialog {
public:
    Options(BrowserState& state, const std::wstring& iniPath) : state_(state), ini_(iniPath) {}

private:
    void OnInit() override {
        pages_[0] = TovnPage();
        pages_[1] = CapturePage();
        pages_[2] = HuedenPage();
        // The pages' texts measured in the real font may need more room than the usual width.
        int widest = 0;
        for (const auto& page : pages_) widest = std::max(widest, RightmostEdge(page));
        const int tabsRight = std::max(339, widest + 6);
        WidenClientTo(tabsRight + 6);
        Add(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, tabsRight - 167, 294,
            78, 26);
        Add(L"BUTTON", L"CANCEL", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, IDCANCEL, tabsRight - 81,
            294, 78, 26);
        // Made last so that it lies below the pages' controls.
        HWND tabs = Add(WC_TABCONTROLW, L"", WS_CLIPSIBLINGS | WS_GROUP, kPcOption, 6, 6,
                        tabsRight - 6, 282);
        for (const wchar_t* name : {L" Tovn32", L"Capture", L"Hueden 32"}) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(name);
            const auto at = ::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
            ::SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(at),
                           reinterpret_cast<LPARAM>(&item));
        }
        ShowPage(0);
        FormShow();
        ::SetFocus(::GetNextDlgTabItem(Window(), nullptr, FALSE));
    }

    std::vector<HWND> TovnPage() {
        auto page =
            AddRadioGroup(L"バックアップ", {L"取らない", L"ゴミ箱へ", L"任意のディレクトリ"},
                          kRgBackUp, {12, 32, 190, 112});
        page.push_back(Add(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, kEdBackDire, 196,
                           86, 137, 22, WS_EX_CLIENTEDGE));
        Append(page,
               AddRadioGroup(L"ｽﾗｲﾄﾞ画像と縮小画面ｶｰｿﾙを同期させる",
                             {L"一致させる", L"一致させない"}, kRgSlide, {12, 118, 333, 162}, 2));
        Append(page, AddRadioGroup(L"起動時の画面数", {L"任意", L"前回終了時と同じ"}, kRgGamen,
                                   {12, 168, 172, 230}));
        page.push_back(Add(L"STATIC", L"", SS_ETCHEDFRAME, -1, 180, 176, 153, 46));
        page.push_back(Add(L"STATIC", L"", SS_CENTER | SS_NOPREFIX, kLbKazu, 190, 192, 90, 18));
        HWND ud = Add(UPDOWN_CLASSW, L"", UDS_ARROWKEYS, kUdKazu, 290, 184, 20, 30);
        ::SendMessageW(ud, UDM_SETRANGE32, kMinKazu, kMaxKazu);
        page.push_back(ud);
        Append(page, AddRadioGroup(L"ﾘﾈｰﾑ時にﾛﾝｸﾞﾌｧｲﾙﾈｰﾑを", {L"使用禁止", L"使う"}, kRgLongName,
                                   {12, 236, 333, 280}, 2));
        return page;
    }

    std::vector<HWND> CapturePage() {
        std::vector<HWND> page;
        // The fields stand right of the wider label.
        const std::wstring nameLabel = L"・ファイル名", keyLabel = L"・キャプチャーKey";
        const int labelWidth = std::max({110, TextWidth(nameLabel), TextWidth(keyLabel)});
        const int fieldLeft = 24 + labelWidth + 6;
        page.push_back(Add(L"STATIC", nameLabel, SS_LEFT, -1, 24, 48, labelWidth, 18));
        page.push_back(Add(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, kEdCapName,
                           fieldLeft, 44, 160, 22, WS_EX_CLIENTEDGE));
        page.push_back(Add(L"STATIC", keyLabel, SS_LEFT, -1, 24, 88, labelWidth, 18));
        HWND keys = Add(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                        kCbCapKey, fieldLeft, 84, 100, 300);
        for (int k = kFirstCaptureKey; k <= kLastCaptureKey; ++k) {
            const std::wstring name = L"F" + std::to_wstring(k - kFirstCaptureKey + 1);
            ::SendMessageW(keys, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        }
        page.push_back(keys);
        return page;
    }

    std::vector<HWND> HuedenPage() {
        return AddRadioGroup(L"Hueden 減色レベル(２５６色環境，True画像表示時）",
                             {L"4", L"6", L"8"}, kRgHueden, {12, 40, 333, 120});
    }

    static void Append(std::vector<HWND>& to, const std::vector<HWND>& more) {
        to.insert(to.end(), more.begin(), more.end());
    }

    void ShowPage(int index) {
        for (int p = 0; p < int(pages_.size()); ++p) {
            for (HWND w : pages_[static_cast<size_t>(p)]) {
                ::ShowWindow(w, p == index ? SW_SHOW : SW_HIDE);
            }
        }
    }

    bool OnNotify(const NMHDR& n) override {
        if (n.idFrom != kPcOption || n.code != TCN_SELCHANGE) return false;
        ShowPage(static_cast<int>(::SendMessageW(n.hwndFrom, TCM_GETCURSEL, 0, 0)));
        return true;
    }

    void OnVScroll(HWND control) override {
        if (control == Item(kUdKazu)) udKazuClick();
    }

    bool OnCommand(int id, int, HWND) override {
        return id == IDOK && !btOkClick(); // an unhandled OK closes the dialog
    }

    int KazuPosition() const {
        return static_cast<int>(::SendMessageW(Item(kUdKazu), UDM_GETPOS32, 0, 0));
    }

    void udKazuClick() {
        const std::wstring n = std::to_wstring(KazuPosition());
        ::SetWindowTextW(Item(kLbKazu), (n + L"×" + n).c_str());
    }

    void Check(int firstId, int index) { ::CheckDlgButton(Window(), firstId + index, BST_CHECKED); }
    int Checked(int firstId, int count) const {
        return dlg::CheckedIndex(Window(), firstId, count);
    }
    std::wstring Text(int id) const { return dlg::TextOf(Item(id)); }

    void FormShow() {
        const StartCount start = ReadStartCount(ini_);
        ::SendMessageW(Item(kUdKazu), UDM_SETPOS32, 0, start.count);
        Check(kRgGamen, start.fixed ? 0 : 1);
        udKazuClick();
        if (state_.BackupMode >= 0 && state_.BackupMode <= 2) Check(kRgBackUp, state_.BackupMode);
        ::SetWindowTextW(Item(kEdBackDire), state_.BackupDir.c_str());
        Check(kRgLongName, state_.LongFileNames ? 1 : 0);
        Check(kRgSlide, state_.SlideSync ? 0 : 1);
        const auto level = std::find(kLevels.begin(), kLevels.end(), state_.ReductionLevel);
        if (level != kLevels.end()) Check(kRgHueden, int(level - kLevels.begin()));
        ::SetWindowTextW(Item(kEdCapName), state_.CaptureFileName.c_str());
        if (state_.CaptureKey >= kFirstCaptureKey && state_.CaptureKey <= kLastCaptureKey) {
            ::SendMessageW(Item(kCbCapKey), CB_SETCURSEL,
                           static_cast<WPARAM>(state_.CaptureKey - kFirstCaptureKey), 0);
        }
    }

    // Stores what is valid; true when the dialog may close.
    bool btOkClick() {
        WriteStartCount();
        if (int i = Checked(kRgBackUp, 3); i >= 0) state_.BackupMode = i;
        if (int i = Checked(kRgLongName, 2); i >= 0) state_.LongFileNames = i == 1;
        if (int i = Checked(kRgSlide, 2); i >= 0) state_.SlideSync = i == 0;
        if (int i = Checked(kRgHueden, 3); i >= 0) state_.ReductionLevel = kLevels[size_t(i)];
        bool mayClose = true;
        if (state_.BackupMode == 2) mayClose = StoreBackupDir();
        const std::wstring capName = Text(kEdCapName);
        if (capName.empty()) {
            Fail(L"キャプチャーファイル名が設定されていません．", L"Capture File Name Error",
                 kEdCapName);
            mayClose = false;
        } else if (mayClose) {
            state_.CaptureFileName = capName;
        }
        // No selected key leaves the key as it was rather than storing one below F1.
        const auto key = ::SendMessageW(Item(kCbCapKey), CB_GETCURSEL, 0, 0);
        if (key != CB_ERR) state_.CaptureKey = kFirstCaptureKey + static_cast<int>(key);
        return mayClose;
    }

    // "Syoki" and "Syokisu" go to the settings file at once, whatever the later checks say.
    void WriteStartCount() {
        if (int i = Checked(kRgGamen, 2); i >= 0) {
            ::WritePrivateProfileStringW(kWindow, L"Syoki", i == 0 ? L"1" : L"0", ini_.c_str());
        }
        ::WritePrivateProfileStringW(kWindow, L"Syokisu", std::to_wstring(KazuPosition()).c_str(),
                                     ini_.c_str());
    }

    bool StoreBackupDir() {
        std::wstring dir = Text(kEdBackDire);
        if (dir.empty()) {
            Fail(L"ﾊﾞｯｸｱｯﾌﾟﾃﾞｨﾚｸﾄﾘが設定されていません．", L"Back up Directory Error", kEdBackDire);
            return false;
        }
        if (dir.back() != L'\\') {
            dir += L'\\';
            ::SetWindowTextW(Item(kEdBackDire), dir.c_str());
        }
        if (!MakeFolders(dir)) {
            Fail(L"ﾊﾞｯｸｱｯﾌﾟﾃﾞｨﾚｸﾄﾘの作成に失敗しました．", L"Error", kEdBackDire);
            return false;
        }
        state_.BackupDir = dir;
        return true;
    }

    void Fail(const wchar_t* text, const wchar_t* caption, int focusId) {
        CurrentDialogs().Beep();
        CurrentDialogs().Message(Window(), text, caption, MB_OK);
        ::SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(focusId)), TRUE);
    }

    BrowserState& state_;
    const std::wstring ini_;
    std::array<std::vector<HWND>, 3> pages_;
};

} // namespace

bool ShowOptions(HWND owner, BrowserState& state, const std::wstring& iniPath) {
    Options dialog(state, iniPath);
    return dialog.Run(owner, {L"オプション　設定", 345, 326, true}) == IDOK;
}

} // namespace tovn
