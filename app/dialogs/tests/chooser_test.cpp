#include <gtest/gtest.h>
#include "app/dialogs/chooser_rules.h"
#include "app/dialogs/seledire.h"
#include "app/dialogs/tests/driver.h"

namespace tovn {
namespace {

using test::Click;
using test::ListItems;
using test::OnShown;
using test::ScratchFolder;

TEST(ChooserRules, CountTextIsFullWidthAndPadded) {
    EXPECT_EQ(CountText(1), L"　１　×　１");
    EXPECT_EQ(CountText(10), L"１０　×　１０");
    EXPECT_EQ(CountText(30), L"３０　×　３０");
}

TEST(ChooserRules, MaskMatchesWholeNamesWithoutCase) {
    const std::wstring mask = L"*.MAG;*.PI;*.BMP;";
    EXPECT_TRUE(MatchesMask(L"a.mag", mask));
    EXPECT_TRUE(MatchesMask(L"X.PI", mask));
    EXPECT_FALSE(MatchesMask(L"X.PIC", mask));
    EXPECT_FALSE(MatchesMask(L"MAG", mask));
    EXPECT_TRUE(MatchesMask(L"a.b.bmp", mask));
    EXPECT_TRUE(MatchesMask(L"AB.LZH", L"?B.*"));
    EXPECT_FALSE(MatchesMask(L"ABC.LZH", L"?B.*"));
    EXPECT_FALSE(MatchesMask(L"a.mag", L";;"));
    // Many stars over a long name must stay quick.
    EXPECT_FALSE(MatchesMask(std::wstring(5000, L'a'), L"*a*a*a*a*a*a*a*b"));
}

TEST(ChooserRules, FolderAnswersKeepOnlyTheRootBackslash) {
    EXPECT_EQ(FolderAnswer(L"C:\\"), L"C:\\");
    EXPECT_EQ(FolderAnswer(L"c:"), L"c:\\");
    EXPECT_EQ(FolderAnswer(L"C:\\A\\B\\"), L"C:\\A\\B");
    EXPECT_EQ(FolderAnswer(L"\\\\srv\\share\\"), L"\\\\srv\\share\\");
    EXPECT_EQ(PathLevels(L"C:\\A\\B\\"),
              (std::vector<std::wstring>{L"C:\\", L"C:\\A", L"C:\\A\\B"}));
    EXPECT_EQ(PathLevels(L"Z:\\"), (std::vector<std::wstring>{L"Z:\\"}));
    EXPECT_EQ(FileNamePart(L"C:\\A\\X.LZH"), L"X.LZH");
    EXPECT_EQ(FileNamePart(L"C:X.LZH"), L"X.LZH");
    EXPECT_EQ(RulesFor(L"nonsense").purpose, ChooserPurpose::Dire);
}

// A folder with archives, pictures and a folder that looks like an archive.
struct Samples {
    ScratchFolder dir;
    Samples() {
        for (const wchar_t* n :
             {L"B.LZH", L"a.lzh", L"c.MAG", L"d.PI", L"e.PIC", L"f.BMP", L"g.TXT"})
            dir.MakeFile(n);
        dir.MakeFolder(L"SUB.LZH");
        dir.MakeFolder(L"pics");
    }
    ChooserRequest Request(const std::wstring& purpose, int count = 6) const {
        ChooserRequest r;
        r.purpose = purpose;
        r.currentDir = dir.Path();
        r.copyDir = dir.Path() + L"pics\\";
        r.pluginMask = L"*.MAG;*.PI;";
        r.dispCount = count;
        return r;
    }
    std::wstring Folder() const { return FolderAnswer(dir.Path()); }
};

struct Seen {
    std::wstring caption;
    bool files = false, count = false, folders = false, drives = false;
    int focus = 0;
    std::vector<int> tabs;
    std::vector<std::wstring> fileItems;
    std::wstring countText;
    RECT window{};
};

Seen Look(HWND w) {
    Seen s;
    s.caption = dlg::TextOf(w);
    s.files = ::IsWindowEnabled(::GetDlgItem(w, kFileLB));
    s.count = ::IsWindowEnabled(::GetDlgItem(w, kCountCB));
    s.folders = ::IsWindowEnabled(::GetDlgItem(w, kDirectoryLB));
    s.drives = ::IsWindowEnabled(::GetDlgItem(w, kDriveCB));
    s.focus = test::FocusedId(w);
    s.tabs = test::TabOrder(w);
    s.fileItems = ListItems(::GetDlgItem(w, kFileLB), false);
    s.countText = test::Text(w, kCountCB);
    ::GetWindowRect(w, &s.window);
    return s;
}

TEST(Chooser, EachPurposeSetsCaptionListsFocusAndTabOrder) {
    Samples s;
    const std::vector<std::wstring> lzh = {L"a.lzh", L"B.LZH"};
    const std::vector<std::wstring> pictures = {L"c.MAG", L"d.PI", L"f.BMP"};
    const std::vector<int> folderFirst = {kDirectoryLB, IDOK, IDCANCEL, kCountCB, kDriveCB};
    struct Case {
        const wchar_t* word;
        const wchar_t* caption;
        bool files, count, folders;
        std::vector<std::wstring> items;
        std::vector<int> tabs;
    } cases[] = {
        {L"LHA",
         L"圧縮ファイルオープン",
         true,
         true,
         true,
         lzh,
         {kDirectoryLB, kFileLB, IDOK, IDCANCEL, kCountCB, kDriveCB}},
        {L"Pack",
         L"圧縮ファイルディレクトリ",
         false,
         false,
         true,
         lzh,
         {kDirectoryLB, IDOK, IDCANCEL, kDriveCB}},
        {L"Dire", L"ﾃﾞｨﾚｸﾄﾘｰ変更", false, true, true, pictures, folderFirst},
        {L"Copy", L"複写先　選択", false, true, true, {}, folderFirst},
        {L"Move", L"移動先　選択", false, true, true, {}, folderFirst},
        {L"Kazu", L"縮小画面　表示数", false, true, false, pictures, {kCountCB, IDOK, IDCANCEL}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "purpose " << std::string(c.word, c.word + 4));
        Seen seen;
        OnShown hook([&](HWND w) {
            test::PauseForLook();
            seen = Look(w);
            Click(w, IDCANCEL);
        });
        ChooserAnswer a;
        EXPECT_FALSE(ShowChooser(nullptr, s.Request(c.word), a));
        ASSERT_EQ(hook.Calls(), 1);
        EXPECT_EQ(seen.caption, c.caption);
        EXPECT_EQ(seen.files, c.files);
        EXPECT_EQ(seen.count, c.count);
        EXPECT_EQ(seen.folders, c.folders);
        EXPECT_EQ(seen.drives, c.folders);
        EXPECT_EQ(seen.focus, c.tabs.front());
        EXPECT_EQ(seen.tabs, c.tabs);
        EXPECT_EQ(seen.fileItems, c.items); // Copy and Move start in the empty "pics"
        EXPECT_EQ(seen.countText, CountText(6));
        EXPECT_EQ(seen.window.right - seen.window.left, 368);
        EXPECT_EQ(seen.window.bottom - seen.window.top, 360);
        EXPECT_EQ(seen.window.left, (::GetSystemMetrics(SM_CXSCREEN) - 368) / 2);
    }
}

TEST(Chooser, CountListHoldsThirtyItemsAndAnswersTheChoice) {
    Samples s;
    std::vector<std::wstring> items;
    OnShown hook([&](HWND w) {
        HWND count = ::GetDlgItem(w, kCountCB);
        items = ListItems(count, true);
        EXPECT_EQ(::SendMessageW(count, CB_GETCURSEL, 0, 0), 29);
        Click(w, IDOK);
    });
    ChooserAnswer a;
    EXPECT_TRUE(ShowChooser(nullptr, s.Request(L"Kazu", 30), a));
    EXPECT_EQ(a.count, 30);
    ASSERT_EQ(items.size(), 30u);
    EXPECT_EQ(items.front(), L"　１　×　１");
    EXPECT_EQ(items.back(), L"３０　×　３０");

    OnShown pick([&](HWND w) {
        ::SendMessageW(::GetDlgItem(w, kCountCB), CB_SETCURSEL, 4, 0);
        Click(w, IDOK);
    });
    EXPECT_TRUE(ShowChooser(nullptr, s.Request(L"Kazu", 1), a));
    EXPECT_EQ(a.count, 5);
}

TEST(Chooser, CountOutsideTheListIsBroughtIntoRange) {
    Samples s;
    OnShown hook([&](HWND w) { Click(w, IDOK); });
    ChooserAnswer a;
    EXPECT_TRUE(ShowChooser(nullptr, s.Request(L"Kazu", 0), a));
    EXPECT_EQ(a.count, 1);
    EXPECT_TRUE(ShowChooser(nullptr, s.Request(L"Kazu", 99), a));
    EXPECT_EQ(a.count, 30);
}

TEST(Chooser, ArchiveAnswerIsTheSelectedFileOrEmpty) {
    Samples s;
    ChooserAnswer a;
    {
        OnShown hook([&](HWND w) { Click(w, IDOK); });
        EXPECT_TRUE(ShowChooser(nullptr, s.Request(L"LHA"), a));
        EXPECT_EQ(a.folder, s.Folder());
        EXPECT_EQ(a.archiveName, L"");
    }
    {
        // Focus selects the first file; Enter there is OK.
        OnShown hook([&](HWND w) {
            HWND files = ::GetDlgItem(w, kFileLB);
            ::SetFocus(files);
            EXPECT_EQ(::SendMessageW(files, LB_GETCURSEL, 0, 0), 0);
            ::PostMessageW(files, WM_KEYDOWN, VK_RETURN, 0);
        });
        EXPECT_TRUE(ShowChooser(nullptr, s.Request(L"LHA"), a));
        EXPECT_EQ(a.archiveName, L"a.lzh");
    }
    {
        OnShown hook([&](HWND w) {
            HWND files = ::GetDlgItem(w, kFileLB);
            ::SendMessageW(files, LB_SETCURSEL, 1, 0);
            ::SendMessageW(w, WM_COMMAND, MAKEWPARAM(kFileLB, LBN_DBLCLK),
                           reinterpret_cast<LPARAM>(files));
        });
        EXPECT_TRUE(ShowChooser(nullptr, s.Request(L"LHA"), a));
        EXPECT_EQ(a.archiveName, L"B.LZH");
    }
}

TEST(Chooser, EnterInAnEmptyFileListDoesNotClose) {
    ScratchFolder empty;
    ChooserRequest r;
    r.purpose = L"LHA";
    r.currentDir = empty.Path();
    bool stillOpen = false;
    OnShown hook([&](HWND w) {
        HWND files = ::GetDlgItem(w, kFileLB);
        ::SetFocus(files);
        ::SendMessageW(files, WM_KEYDOWN, VK_RETURN, 0);
        stillOpen = test::IsOpen(w);
        Click(w, IDCANCEL);
    });
    ChooserAnswer a;
    EXPECT_FALSE(ShowChooser(nullptr, r, a));
    EXPECT_TRUE(stillOpen);
}

TEST(Chooser, CancelAndEscapeStillAnswerTheFolder) {
    Samples s;
    ChooserAnswer a;
    {
        // Open the subfolder "pics" from the list, then Esc.
        OnShown hook([&](HWND w) {
            HWND folders = ::GetDlgItem(w, kDirectoryLB);
            const auto items = ListItems(folders, false);
            for (size_t i = 0; i < items.size(); ++i) {
                if (items[i].find(L"pics") != std::wstring::npos)
                    ::SendMessageW(folders, LB_SETCURSEL, i, 0);
            }
            ::PostMessageW(folders, WM_KEYDOWN, VK_RETURN, 0);
            ::PostMessageW(folders, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        EXPECT_FALSE(ShowChooser(nullptr, s.Request(L"Dire"), a));
        EXPECT_EQ(a.folder, s.dir.Path() + L"pics");
    }
    {
        // Esc in the count list of "Kazu".
        OnShown hook([&](HWND) { ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); });
        EXPECT_FALSE(ShowChooser(nullptr, s.Request(L"Kazu", 7), a));
        EXPECT_EQ(a.folder, s.Folder());
        EXPECT_EQ(a.count, 7);
    }
}

TEST(Chooser, CopyStartsInCopyDirAndDriveRootKeepsItsBackslash) {
    Samples s;
    ChooserAnswer a;
    std::wstring drive;
    OnShown hook([&](HWND w) {
        drive = test::Text(w, kDriveCB);
        // The first folder item is the drive root.
        HWND folders = ::GetDlgItem(w, kDirectoryLB);
        ::SendMessageW(folders, LB_SETCURSEL, 0, 0);
        ::SendMessageW(w, WM_COMMAND, MAKEWPARAM(kDirectoryLB, LBN_DBLCLK),
                       reinterpret_cast<LPARAM>(folders));
        Click(w, IDOK);
    });
    EXPECT_TRUE(ShowChooser(nullptr, s.Request(L"Copy"), a));
    const std::wstring root = s.dir.Path().substr(0, 3);
    EXPECT_EQ(drive, root.substr(0, 2));
    EXPECT_EQ(a.folder, root);
    EXPECT_EQ(a.folder.back(), L'\\');
}

TEST(Chooser, ChoosingADriveOpensItsRoot) {
    Samples s;
    std::vector<std::wstring> drives;
    OnShown hook([&](HWND w) {
        HWND combo = ::GetDlgItem(w, kDriveCB);
        drives = ListItems(combo, true);
        ::SendMessageW(combo, CB_SETCURSEL, drives.size() - 1, 0);
        ::SendMessageW(w, WM_COMMAND, MAKEWPARAM(kDriveCB, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(combo));
        Click(w, IDOK);
    });
    ChooserAnswer a;
    EXPECT_TRUE(ShowChooser(nullptr, s.Request(L"Dire"), a));
    ASSERT_FALSE(drives.empty());
    for (const auto& d : drives) EXPECT_EQ(d, CharUpperW(std::wstring(d).data()));
    EXPECT_EQ(a.folder, drives.back() + L"\\");
}

TEST(Chooser, MissingStartFolderFallsBackToItsParent) {
    Samples s;
    ChooserRequest r = s.Request(L"Dire");
    r.currentDir = s.dir.Path() + L"gone\\deeper\\";
    OnShown hook([&](HWND w) { Click(w, IDOK); });
    ChooserAnswer a;
    EXPECT_TRUE(ShowChooser(nullptr, r, a));
    EXPECT_EQ(a.folder, s.Folder());
}

} // namespace
} // namespace tovn
