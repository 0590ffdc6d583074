#include "app/dialogs/seledire.h"
#include <commctrl.h>
#include <algorithm>
#include <string>
#include <vector>
#include "app/dialogs/chooser_rules.h"
#include "app/dialogs/dlgkit.h"
#include "win/handles.h"

namespace tovn {
namespace {

// Sent by a list box to the chooser as a WM_COMMAND code when Enter is pressed in it.
constexpr WORD kListEnter = 0x4000;
constexpr int kMaxCount = 30;

bool LessNoCase(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_LESS_THAN;
}

// The names in folder, folders or files, sorted without regard to case.
std::vector<std::wstring> ListNames(const std::wstring& folder, bool folders) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    UniqueFind find(::FindFirstFileW(JoinPath(folder, L"*").c_str(), &fd));
    if (!find) return names;
    do {
        const std::wstring name = fd.cFileName;
        const bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder != folders || name == L"." || name == L"..") continue;
        names.push_back(name);
    } while (::FindNextFileW(find.get(), &fd));
    std::sort(names.begin(), names.end(), LessNoCase);
    return names;
}

// The drive roots "C:\" … in upper case. Where the system lists none (Wine before its mount
// manager is up), the drive of the folder shown is still offered.
std::vector<std::wstring> DriveRoots(const std::wstring& shown) {
    std::vector<std::wstring> roots;
    wchar_t buf[512] = {};
    const DWORD n = ::GetLogicalDriveStringsW(static_cast<DWORD>(std::size(buf) - 1), buf);
    if (n > 0 && n < std::size(buf)) {
        for (const wchar_t* p = buf; *p; p += roots.back().size() + 1) {
            roots.emplace_back(p);
        }
    }
    if (roots.empty() && shown.size() >= 2 && shown[1] == L':') {
        roots.push_back(shown.substr(0, 2) + L"\\");
    }
    for (auto& r : roots) std::transform(r.begin(), r.end(), r.begin(), ::towupper);
    return roots;
}

// Hands Enter in a list box to the chooser instead of the dialog's default action.
LRESULT CALLBACK ListKeys(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == WM_GETDLGCODE && lp) {
        const MSG* m = reinterpret_cast<const MSG*>(lp);
        if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN) {
            return ::DefSubclassProc(w, msg, wp, lp) | DLGC_WANTMESSAGE;
        }
    }
    if (msg == WM_KEYDOWN && wp == VK_RETURN) {
        const int id = ::GetDlgCtrlID(w);
        ::SendMessageW(::GetParent(w), WM_COMMAND, MAKEWPARAM(id, kListEnter),
                       reinterpret_cast<LPARAM>(w));
        return 0;
    }
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(w, &ListKeys, 1);
    return ::DefSubclassProc(w, msg, wp, lp);
}

class Chooser : public dlg::ModalDialog {
public:
    explicit Chooser(const ChooserRequest& request)
        : rules_(RulesFor(request.purpose)),
          mask_(rules_.archiveMask ? std::wstring(L"*.LZH") : request.pluginMask + L"*.BMP;"),
          start_(rules_.startInCopyDir ? request.copyDir : request.currentDir),
          count_(std::clamp(request.dispCount, 1, kMaxCount)) {
        answer_.folder = FolderAnswer(start_);
        answer_.count = count_;
    }

    const ChooserAnswer& Answer() const { return answer_; }
    const wchar_t* Caption() const { return rules_.caption; }

private:
    void OnInit() override {
        // Creation order is the tab order: folders, files, OK, Cancel, count, drive.
        Add(L"STATIC", L"フォルダ", SS_LEFT, -1, 8, 6, 170, 16);
        HWND folders = Add(L"LISTBOX", L"", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                           kDirectoryLB, 8, 24, 170, 232, WS_EX_CLIENTEDGE);
        Add(L"STATIC", L"ファイル", SS_LEFT, -1, 186, 6, 168, 16);
        HWND files = Add(L"LISTBOX", L"", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP | WS_GROUP, kFileLB,
                         186, 24, 168, 232, WS_EX_CLIENTEDGE);
        Add(L"BUTTON", L"OK", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, 190, 296, 78, 26);
        Add(L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, IDCANCEL, 276, 296, 78,
            26);
        HWND count = Add(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                         kCountCB, 186, 264, 168, 300);
        Add(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, kDriveCB, 8,
            264, 170, 200);
        ::SetWindowSubclass(folders, &ListKeys, 1, 0);
        ::SetWindowSubclass(files, &ListKeys, 1, 0);

        for (int n = 1; n <= kMaxCount; ++n) {
            ::SendMessageW(count, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(CountText(n).c_str()));
        }
        const std::wstring first = FirstExisting(start_);
        drives_ = DriveRoots(first);
        for (const auto& root : drives_) {
            const std::wstring label = root.substr(0, 2);
            ::SendMessageW(Item(kDriveCB), CB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(label.c_str()));
        }
        OpenFolder(first);

        ::EnableWindow(files, rules_.filesEnabled);
        ::EnableWindow(count, rules_.countEnabled);
        ::EnableWindow(folders, rules_.foldersEnabled);
        ::EnableWindow(Item(kDriveCB), rules_.foldersEnabled);
        if (rules_.purpose == ChooserPurpose::Kazu) {
            ::SetWindowPos(count, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        ::SendMessageW(count, CB_SETCURSEL, static_cast<WPARAM>(count_ - 1), 0);
        ::SetFocus(rules_.purpose == ChooserPurpose::Kazu ? count : folders);
    }

    bool OnCommand(int id, int code, HWND) override {
        if (id == IDOK || id == IDCANCEL) {
            FillAnswer();
            return false; // the frame ends the dialog
        }
        if (id == kDirectoryLB && (code == LBN_DBLCLK || code == kListEnter)) {
            OpenSelectedFolder();
        } else if (id == kFileLB && code == LBN_DBLCLK) {
            Ok();
        } else if (id == kFileLB && code == kListEnter) {
            if (SelectedFileIndex() != LB_ERR) Ok();
        } else if (id == kFileLB && code == LBN_SETFOCUS) {
            if (SelectedFileIndex() == LB_ERR) ::SendMessageW(Item(kFileLB), LB_SETCURSEL, 0, 0);
        } else if (id == kDriveCB && code == CBN_SELCHANGE) {
            OpenSelectedDrive();
        } else {
            return false;
        }
        return true;
    }

    void Ok() { ::SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

    int SelectedFileIndex() const {
        return static_cast<int>(::SendMessageW(Item(kFileLB), LB_GETCURSEL, 0, 0));
    }

    void FillAnswer() {
        answer_.folder = FolderAnswer(folder_);
        answer_.archiveName.clear();
        const int file = SelectedFileIndex();
        if (rules_.purpose == ChooserPurpose::Lha && file != LB_ERR && file < int(files_.size())) {
            answer_.archiveName = FileNamePart(files_[static_cast<size_t>(file)]);
        }
        const auto item = ::SendMessageW(Item(kCountCB), CB_GETCURSEL, 0, 0);
        answer_.count = item == CB_ERR ? count_ : static_cast<int>(item) + 1;
    }

    // The start folder, or its nearest existing parent, or the process's current folder.
    static std::wstring FirstExisting(const std::wstring& start) {
        std::vector<std::wstring> levels = PathLevels(start);
        for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
            if (dlg::IsFolder(*it)) return *it;
        }
        wchar_t cwd[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, cwd);
        return cwd;
    }

    // Shows folder in the folder, file and drive lists; false (and a beep) when it cannot
    // be opened.
    bool OpenFolder(const std::wstring& folder) {
        if (!dlg::IsFolder(folder)) {
            CurrentDialogs().Beep();
            return false;
        }
        folder_ = FolderAnswer(folder);
        FillFolders();
        FillFiles();
        SelectDrive();
        return true;
    }

    void FillFolders() {
        HWND list = Item(kDirectoryLB);
        ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
        folderItems_ = PathLevels(folder_);
        const size_t depth = folderItems_.size();
        for (size_t i = 0; i < depth; ++i) AddFolderItem(i, FileNamePartOfLevel(i));
        for (const auto& name : ListNames(folder_, true)) {
            folderItems_.push_back(JoinPath(folder_, name));
            AddFolderItem(depth, name);
        }
        ::SendMessageW(list, LB_SETCURSEL, depth - 1, 0);
        ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(list, nullptr, TRUE);
    }

    std::wstring FileNamePartOfLevel(size_t i) const {
        return i == 0 ? folderItems_[0] : FileNamePart(folderItems_[i]);
    }

    void AddFolderItem(size_t indent, const std::wstring& name) {
        const std::wstring text = std::wstring(std::min<size_t>(indent, 32) * 2, L' ') + name;
        ::SendMessageW(Item(kDirectoryLB), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }

    void FillFiles() {
        HWND list = Item(kFileLB);
        ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
        files_.clear();
        for (const auto& name : ListNames(folder_, false)) {
            if (!MatchesMask(name, mask_)) continue;
            files_.push_back(name);
            ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        }
        ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(list, nullptr, TRUE);
    }

    void SelectDrive() {
        int found = -1;
        for (size_t i = 0; i < drives_.size(); ++i) {
            if (::CompareStringOrdinal(drives_[i].c_str(), 2, folder_.c_str(),
                                       static_cast<int>(std::min<size_t>(folder_.size(), 2)),
                                       TRUE) == CSTR_EQUAL) {
                found = static_cast<int>(i);
            }
        }
        ::SendMessageW(Item(kDriveCB), CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    }

    void OpenSelectedFolder() {
        const auto i = ::SendMessageW(Item(kDirectoryLB), LB_GETCURSEL, 0, 0);
        if (i == LB_ERR || static_cast<size_t>(i) >= folderItems_.size()) return;
        OpenFolder(folderItems_[static_cast<size_t>(i)]);
    }

    void OpenSelectedDrive() {
        const auto i = ::SendMessageW(Item(kDriveCB), CB_GETCURSEL, 0, 0);
        if (i == CB_ERR || static_cast<size_t>(i) >= drives_.size() ||
            !OpenFolder(drives_[static_cast<size_t>(i)])) {
            SelectDrive(); // a drive that is not ready: back to the folder's drive
        }
    }

    const PurposeRules& rules_;
    const std::wstring mask_;
    const std::wstring start_;
    const int count_;
    std::wstring folder_;                   // the opened folder, as answered
    std::vector<std::wstring> folderItems_; // full path of each folder list item
    std::vector<std::wstring> files_;       // name of each file list item
    std::vector<std::wstring> drives_;      // root of each drive list item
    ChooserAnswer answer_;
};

} // namespace

bool ShowChooser(HWND owner, const ChooserRequest& request, ChooserAnswer& answer) {
    Chooser chooser(request);
    const int result = chooser.Run(owner, {chooser.Caption(), 368, 360, false, true});
    answer = chooser.Answer();
    return result == IDOK;
}

} // namespace tovn
