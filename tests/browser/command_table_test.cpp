// The command table: which handler a key runs in each mode, what is refused and what is
// ignored, the menu items that stand for keys, and what the user hears when the dispatcher
// refuses a command in the real window.
#include "app/win_text.h"
#include "browser/command_table.h"
#include "browser/menu.h"
#include "support/browser_fixture.h"

using namespace tovn;
using namespace tovn::test;

namespace {

using Events = std::vector<std::wstring>;

enum Mode { Normal, Sort, Capture };

struct KeyCase {
    Mode mode;
    bool empty;
    WORD key;
    unsigned shift;
    const char* outcome; // the handler, "beep" (refused) or "" (ignored)
};

constexpr unsigned S = ssShift, C = ssCtrl;

const KeyCase kKeys[] = {
    // Navigation runs in every mode; an empty list refuses it, but for the row moves.
    {Normal, false, VK_RETURN, 0, "ViewCursorFile"},
    {Normal, false, VK_RETURN, C, "ViewCursorFile"},
    {Sort, false, VK_RETURN, 0, "ViewCursorFile"},
    {Capture, true, VK_RETURN, 0, "beep"},
    {Normal, false, VK_PRIOR, S, "PageUp"},
    {Sort, true, VK_PRIOR, 0, "beep"},
    {Capture, false, VK_NEXT, C, "PageDown"},
    {Normal, true, VK_NEXT, 0, "beep"},
    {Normal, true, VK_LEFT, 0, "beep"},
    {Capture, false, VK_LEFT, 0, "GoToPreviousCell"},
    {Sort, true, VK_RIGHT, 0, "beep"},
    {Normal, true, VK_UP, 0, "MoveRowUp"},
    {Capture, true, VK_DOWN, 0, "MoveRowDown"},
    {Sort, false, 'J', S, "PageJump"},
    {Normal, true, 'J', 0, "beep"},
    // Shift+Return: the slide show, in normal mode only.
    {Normal, false, VK_RETURN, S, "SlideShow"},
    {Normal, true, VK_RETURN, S, "beep"},
    {Sort, false, VK_RETURN, S, ""},
    {Capture, true, VK_RETURN, S, ""},
    // Digits of both keyboard parts, with Shift or Ctrl; not in the other modes.
    {Normal, true, '0', 0, "SetDispCount"},
    {Normal, false, '9', S, "SetDispCount"},
    {Normal, false, VK_NUMPAD5, C, "SetDispCount"},
    {Sort, false, '3', 0, ""},
    {Capture, false, VK_NUMPAD3, S, ""},
    // The other keys of normal mode.
    {Normal, true, VK_MENU, ssAlt, "MacroCommand"},
    {Normal, true, VK_ESCAPE, 0, "AskQuit"},
    {Normal, false, VK_SPACE, 0, "ToggleCursorMark"},
    {Normal, true, VK_SPACE, 0, "beep"},
    {Normal, false, VK_HOME, 0, "MarkAll"},
    {Normal, true, VK_HOME, 0, "beep"},
    {Normal, true, VK_DELETE, 0, "StartSortByKey"},
    {Normal, true, 'F', 0, "ToggleFullSize"},
    {Normal, true, 'H', 0, "ChangeFolder"},
    {Normal, true, 'L', S, "ChangeFolder"},
    {Normal, true, 'O', 0, "OpenArchive"},
    {Normal, true, 'Q', 0, "Exit1Click"},
    {Normal, true, 'S', S, "ReRead"},
    {Normal, false, 'S', C, ""},
    {Normal, false, 'C', S, "CopyOrMove"},
    {Normal, false, 'U', 0, "CopyOrMove"},
    {Normal, true, 'M', 0, "beep"},
    {Normal, false, 'D', 0, "DeleteWithBackup"},
    {Normal, true, 'D', 0, "beep"},
    {Normal, false, 'D', C, ""},
    {Normal, true, 'D', C, ""},
    {Normal, false, 'N', 0, "NumberedRename"},
    {Normal, false, 'N', C, "NumberedRename"},
    {Normal, false, 'N', S, "RenameEach"},
    {Normal, true, 'N', S, "beep"},
    {Normal, false, 'Z', 0, "Duplicate"},
    {Normal, false, 'P', C, "Pack"},
    {Normal, true, 'P', 0, "beep"},
    {Normal, true, 'I', 0, "InsertSpaceAtCursor"},
    {Normal, true, 'K', S, "NewFolder"},
    {Normal, true, 'E', 0, "EditCursorFile"},
    {Normal, false, 'E', C, ""},
    {Normal, false, 'X', 0, ""},
    // Sort mode: its four keys; the rest of normal mode's keys are ignored.
    {Sort, false, VK_ESCAPE, 0, "EndSortMode"},
    {Sort, true, VK_HOME, 0, "SortHome"},
    {Sort, false, VK_INSERT, S, "ApplySort"},
    {Sort, false, VK_DELETE, 0, "SortPick"},
    {Sort, false, VK_SPACE, 0, ""},
    {Sort, false, 'D', 0, ""},
    {Normal, false, VK_INSERT, 0, ""},
    // Capture mode: navigation only.
    {Capture, false, VK_ESCAPE, 0, ""},
    {Capture, false, VK_DELETE, 0, ""},
    {Capture, false, 'C', 0, ""},
};

void SetMode(BrowserState& st, Mode mode) {
    st.SortMode = mode == Sort;
    st.CaptureMode = mode == Capture;
    if (mode == Sort)
        st.SortList.emplace();
    else
        st.SortList.reset();
}

std::string Outcome(const KeyCase& k, const BrowserState& st) {
    const Command* c = CommandForKey(k.key, k.shift, st);
    if (!c) return "";
    const Result r = IsCommandEnabled(*c, st);
    if (r) return c->handler;
    return r.say() == Say::Beep ? "beep" : "refused another way";
}

TEST(CommandTable, KeysByModeListAndShift) {
    for (const KeyCase& k : kKeys) {
        BrowserState st;
        SetMode(st, k.mode);
        if (!k.empty) st.FileList.assign(3, Slot{L"A.BMP", 0});
        EXPECT_EQ(Outcome(k, st), k.outcome) << "mode " << k.mode << " empty " << k.empty << " key "
                                             << k.key << " shift " << k.shift;
    }
}

TEST(CommandTable, KInAnArchiveIsRefused) {
    BrowserState st;
    st.LhaMode = true;
    const Command* k = CommandForKey('K', 0, st);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(IsCommandEnabled(*k, st).say(), Say::Beep);
}

// Every id of the menu bar and its popups.
std::vector<int> MenuIds(HMENU menu) {
    std::vector<int> ids;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        if (HMENU sub = ::GetSubMenu(menu, i)) {
            for (int id : MenuIds(sub)) ids.push_back(id);
        } else if (::GetMenuItemID(menu, i) != 0) {
            ids.push_back(static_cast<int>(::GetMenuItemID(menu, i)));
        }
    }
    return ids;
}

TEST(CommandTable, EveryMenuItemHasARowAndKeyItemsAreTheirKeysRow) {
    HMENU bar = BuildMainMenu();
    const std::vector<int> ids = MenuIds(bar);
    ::DestroyMenu(bar);
    EXPECT_EQ(ids.size(), 22u);
    BrowserState st;
    st.FileList.assign(3, Slot{L"A.BMP", 0});
    for (int id : ids) {
        const Command* c = CommandForMenu(id);
        ASSERT_NE(c, nullptr) << "menu " << id;
        if (c->key) {
            EXPECT_EQ(CommandForKey(c->key, MenuShift(*c), st), c) << c->handler;
        }
    }
    const Command* rename = CommandForMenu(idNomalReName1);
    EXPECT_EQ(rename, CommandForKey('N', ssShift, st));
    EXPECT_STREQ(rename->handler, "RenameEach");
    EXPECT_STREQ(CommandForMenu(idN2)->handler, "NumberedRename");
    EXPECT_EQ(CommandForMenu(idSlide1), CommandForKey(VK_RETURN, ssShift, st));
}

class DispatchedCommands : public BrowserFixture {
protected:
    void StartOn(int pictureCount) {
        PutIni(L"Window", L"Img", L"3");
        MakePictures(pictureCount);
        Start();
    }
    // What the user saw: the events, the input boxes and the chooser's purposes.
    std::vector<std::wstring> Trace(const std::function<void()>& step) {
        dialogs.inputs.clear();
        dialogs.chooserRequests.clear();
        std::vector<std::wstring> trace = During(step);
        for (const ShownInput& i : dialogs.inputs) trace.push_back(L"input " + i.caption);
        for (const ChooserRequest& r : dialogs.chooserRequests)
            trace.push_back(L"chooser " + std::wstring(r.purpose));
        return trace;
    }
};

// The refused and ignored keys of the table, through the real window's messages: a refusal
// is one beep and nothing else, an ignored key is silent, and neither changes the mode.
TEST_F(DispatchedCommands, RefusedKeysBeepOnceAndIgnoredKeysAreSilent) {
    for (const bool empty : {true, false}) {
        window.reset();
        StartOn(empty ? 0 : 3);
        for (const KeyCase& k : kKeys) {
            const std::string outcome = k.outcome;
            if (k.empty != empty || (outcome != "beep" && !outcome.empty())) continue;
            SetMode(st(), k.mode);
            const int count = st().DispCount;
            EXPECT_EQ(During([&] { Key(k.key, k.shift); }),
                      outcome == "beep" ? Events{L"beep"} : Events{})
                << "mode " << k.mode << " key " << k.key << " shift " << k.shift;
            EXPECT_EQ(st().SortMode, k.mode == Sort);
            EXPECT_EQ(st().CaptureMode, k.mode == Capture);
            EXPECT_EQ(st().DispCount, count);
        }
    }
}

TEST_F(DispatchedCommands, ShiftAndCtrlReachTheKeysThroughTheMessages) {
    StartOn(3);
    Key('2', ssShift);
    EXPECT_EQ(st().DispCount, 12);
    Key('2', ssCtrl);
    EXPECT_EQ(st().DispCount, 22);
    Key(VK_NUMPAD3);
    EXPECT_EQ(st().DispCount, 3);
    Key('D', ssCtrl); // ignored: no confirmation
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(DispatchedCommands, KeyMenuItemsDoWhatTheirKeysDo) {
    StartOn(3);
    struct Case {
        int id;
        WORD key;
        unsigned shift;
    };
    const Case cases[] = {{idR1, 'H', 0},
                          {idCopy1, 'C', 0},
                          {idM1, 'M', 0},
                          {idN2, 'N', 0},
                          {idNomalReName1, 'N', ssShift},
                          {idPack1, 'P', 0},
                          {idMakeDirectory1, 'K', 0},
                          {idS1, 'S', 0}};
    for (const Case& c : cases) {
        const auto byMenu = Trace([&] { Menu(c.id); });
        EXPECT_FALSE(byMenu.empty() && c.id != idS1) << c.id;
        EXPECT_EQ(byMenu, Trace([&] { Key(c.key, c.shift); })) << c.id;
    }
    EXPECT_NE(Trace([&] { Menu(idNomalReName1); }), Trace([&] { Key('N'); }));
}

// The menu's own commands when the mode or the list refuses them, and the sort command's
// own beep before its checks.
TEST_F(DispatchedCommands, MenuCommandRefusalsInOrder) {
    StartOn(3);
    const Events beep = {L"beep"}, twoBeeps = {L"beep", L"beep"};
    Menu(idN5);
    ASSERT_TRUE(st().SortMode);
    EXPECT_EQ(During([&] { Menu(idN5); }), twoBeeps); // nothing picked
    EXPECT_TRUE(st().SortMode);
    EXPECT_EQ(::GetMenuState(::GetMenu(w().Handle()), idN5, MF_BYCOMMAND) & MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(During([&] { Menu(idK1); }), beep);
    EXPECT_EQ(During([&] { Key(VK_ESCAPE); }), Events{});
    EXPECT_FALSE(st().SortMode);
    EXPECT_EQ(::GetMenuState(::GetMenu(w().Handle()), idN5, MF_BYCOMMAND) & MF_CHECKED, 0u);
    st().CaptureMode = true;
    EXPECT_EQ(During([&] { Menu(idN5); }), beep);
    EXPECT_EQ(During([&] { Menu(idO1); }), beep);
    EXPECT_FALSE(st().SortMode);
    st().CaptureMode = false;
    EnterArchive(L"ARC.LZH");
    EXPECT_EQ(During([&] { Key('K'); }), beep);
    EnterFolder(st().CurrentDir);
}

TEST_F(DispatchedCommands, AnEmptyFolderRefusesTheSortAndConvertCommands) {
    StartOn(0);
    EXPECT_EQ(During([&] { Menu(idN5); }), Events{L"beep"});
    EXPECT_FALSE(st().SortMode);
    EXPECT_EQ(During([&] { Menu(idConvertBMP1); }), Events{L"beep"});
    EXPECT_EQ(During([&] { Key(VK_DELETE); }), Events{}); // sort mode with nothing to pick
    EXPECT_TRUE(st().SortMode);
    EXPECT_EQ(During([&] { Key(VK_HOME); }), Events{L"beep"});
}

} // namespace
