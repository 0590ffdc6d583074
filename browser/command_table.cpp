#include "browser/command_table.h"
#include "app/dialogs.h"
#include "app/win_text.h"
#include "browser/browser.h"
#include "browser/menu.h"
#include "browser/sort_mode.h"
#include "fileops/commands.h"
#include "macro/macro_command.h"
#include "fileops/commands.h"

namespace tovn {

namespace {

int DigitOf(WORD key) {
    if (key >= '0' && key <= '9') return key - '0';
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return key - VK_NUMPAD0;
    return -1;
}

bool KeyMatches(const Command& c, WORD key) {
    return c.key == kDigit ? DigitOf(key) >= 0 : c.key == key;
}

bool ShiftMatches(ShiftRule rule, unsigned shift) {
    switch (rule) {
    case ShiftRule::Any:
        return true;
    case ShiftRule::NoShift:
        return !(shift & ssShift);
    case ShiftRule::Shift:
        return (shift & ssShift) != 0;
    case ShiftRule::NoCtrl:
        return !(shift & ssCtrl);
    }
    return false;
}

// The availability rules.
Result NotEmpty(const BrowserState& st) {
    return st.FileList.empty() ? Result::Refused() : Result::Ok();
}
// Folders are made in folders only.
Result NotInArchive(const BrowserState& st) {
    return st.LhaMode ? Result::Refused() : Result::Ok();
}
Result NotSortingOrCapturing(const BrowserState& st) {
    return st.SortMode || st.CaptureMode ? Result::Refused() : Result::Ok();
}
Result ConvertAllowed(const BrowserState& st) {
    const Result r = NotSortingOrCapturing(st);
    return r ? NotEmpty(st) : r;
}
Result CaptureAllowed(const BrowserState& st) {
    if (st.SortMode)
        return Result::Error(L"ソートモード中は，キャプチャー出来ません．", L"Capture Mode");
    if (st.LhaMode)
        return Result::Error(L"LHAモード中は，キャプチャー出来ません．", L"Capture Mode");
    return Result::Ok();
}

} // namespace

// The rows.
struct CommandRows {
    static std::vector<Command> Make();
};

std::vector<Command> CommandRows::Make() {
    using W = Browser;
    constexpr auto A = ShiftRule::Any;
    constexpr auto K = Frame::Key;
    return {
        // In every mode; an empty list refuses all of them but Up and Down.
        {"ViewCursorFile", VK_RETURN, ShiftRule::NoShift, 0, mAll, false, NotEmpty, true, K,
         [](W& w, WORD, unsigned) { w.ViewCursorFile(); }},
        {"PageUp", VK_PRIOR, A, 0, mAll, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned s) { w.PageUp(s & ssShift); }},
        {"PageDown", VK_NEXT, A, 0, mAll, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned s) { w.PageDown(s & ssShift); }},
        {"GoToPreviousCell", VK_LEFT, A, 0, mAll, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned) {
             w.GoToPreviousCell(w.State().CurrentPage, w.State().CursorCell);
         }},
        {"GoToCell", VK_RIGHT, A, 0, mAll, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned) {
             w.GoToCell(w.State().CurrentPage, w.State().CursorCell, true);
         }},
        {"MoveRowUp", VK_UP, A, 0, mAll, false, nullptr, false, K,
         [](W& w, WORD, unsigned) {
             if (!w.State().FileList.empty()) w.MoveRowUp();
         }},
        {"MoveRowDown", VK_DOWN, A, 0, mAll, false, nullptr, false, K,
         [](W& w, WORD, unsigned) {
             if (!w.State().FileList.empty()) w.MoveRowDown();
         }},
        {"PageJump", 'J', A, 0, mAll, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned) { w.PageJump(); }},

        // Normal and archive mode.
        {"SetDispCount", kDigit, A, 0, mNormal, false, nullptr, false, K,
         [](W& w, WORD key, unsigned s) {
             const int d = DigitOf(key) == 0 ? 10 : DigitOf(key);
             w.SetDispCount(s & ssShift ? 10 + d : s & ssCtrl ? 20 + d : d);
         }},
        {"SlideShow", VK_RETURN, ShiftRule::Shift, idSlide1, mNormal, false, NotEmpty, true, K,
         [](W& w, WORD, unsigned) { w.SlideShow(); }},
        {"MacroCommand", VK_MENU, A, 0, mNormal, false, nullptr, true, K,
         [](W& w, WORD, unsigned) { MacroCommand(w); }},
        {"AskQuit", VK_ESCAPE, A, 0, mNormal, false, nullptr, false, K,
         [](W& w, WORD, unsigned) { w.AskQuit(); }},
        {"ToggleCursorMark", VK_SPACE, A, 0, mNormal, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned) { w.ToggleCursorMark(); }},
        {"MarkAll", VK_HOME, A, 0, mNormal, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned) { w.MarkAll(); }},
        {"StartSortByKey", VK_DELETE, A, 0, mNormal, false, nullptr, false, K,
         [](W& w, WORD, unsigned) { StartSortByKey(w); }},
        {"ToggleFullSize", 'F', A, idFullReal1, mNormal, true, nullptr, false, K,
         [](W& w, WORD, unsigned) { w.State().SlideFullSize = !w.State().SlideFullSize; }},
        {"ChangeFolder", 'H', A, idR1, mNormal, false, nullptr, false, K,
         [](W& w, WORD, unsigned) { w.ChangeFolder(); }},
        {"ChangeFolder", 'L', A, 0, mNormal, false, nullptr, false, K,
         [](W& w, WORD, unsigned) { w.ChangeFolder(); }},
        {"OpenArchive", 'O', A, idK2, mNormal, false, nullptr, false, K,
         [](W& w, WORD, unsigned) { w.OpenArchive(); }},
        {"Exit1Click", 'Q', A, idExit1, mNormal, false, nullptr, false, K,
         [](W& w, WORD, unsigned) { w.View().Close(); }},
        {"ReRead", 'S', ShiftRule::NoCtrl, idS1, mNormal, false, nullptr, false, K,
         [](W& w, WORD, unsigned s) { w.ReRead(s & ssShift); }},
        {"CopyOrMove", 'C', A, idCopy1, mNormal, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned s) { CopyOrMove(w, false, s & ssShift); }},
        {"CopyOrMove", 'U', A, 0, mNormal, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned s) { CopyOrMove(w, false, s & ssShift); }},
        {"CopyOrMove", 'M', A, idM1, mNormal, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned s) { CopyOrMove(w, true, s & ssShift); }},
        {"DeleteWithBackup", 'D', ShiftRule::NoCtrl, idD1, mNormal, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned) { DeleteWithBackup(w); }},
        {"NumberedRename", 'N', ShiftRule::NoShift, idN2, mNormal, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned) { NumberedRename(w); }},
        {"RenameEach", 'N', ShiftRule::Shift, idNomalReName1, mNormal, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned) { RenameEach(w); }},
        {"Duplicate", 'Z', A, 0, mNormal, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned) { Duplicate(w); }},
        {"Pack", 'P', A, idPack1, mNormal, false, NotEmpty, false, K,
         [](W& w, WORD, unsigned s) { Pack(w, s & ssCtrl); }},
        {"InsertSpaceAtCursor", 'I', A, idInsertSpace1, mNormal, false, nullptr, false, K,
         [](W& w, WORD, unsigned) { InsertSpaceAtCursor(w); }},
        {"NewFolder", 'K', A, idMakeDirectory1, mNormal, false, NotInArchive, false, K,
         [](W& w, WORD, unsigned) { NewFolder(w); }},
        {"EditCursorFile", 'E', ShiftRule::NoCtrl, idEdit1, mNormal, false, nullptr, true, K,
         [](W& w, WORD, unsigned) { w.EditCursorFile(); }},

        // Sort mode.
        {"EndSortMode", VK_ESCAPE, A, 0, mSort, false, nullptr, false, K,
         [](W& w, WORD, unsigned) { EndSortMode(w); }},
        {"SortHome", VK_HOME, A, 0, mSort, false, nullptr, false, K,
         [](W& w, WORD, unsigned) { SortHome(w); }},
        {"ApplySort", VK_INSERT, A, 0, mSort, false, nullptr, false, K,
         [](W& w, WORD, unsigned) { ApplySort(w); }},
        {"SortPick", VK_DELETE, A, 0, mSort, false, nullptr, false, K,
         [](W& w, WORD, unsigned) { SortPick(w); }},

        // Menu items of their own. The display count hides the band only once the chooser
        // has closed, and the sort command only around what changes the band's colour.
        {"K1Click", 0, A, idK1, mAll, false, NotSortingOrCapturing, false, Frame::None,
         [](W& w, WORD, unsigned) { w.K1Click(); }},
        {"O1Click", 0, A, idO1, mAll, false, NotSortingOrCapturing, false, Frame::None,
         [](W& w, WORD, unsigned) { w.O1Click(); }},
        {"Help2Click", 0, A, idHelp2, mAll, false, nullptr, false, Frame::None,
         [](W& w, WORD, unsigned) { w.Help2Click(); }},
        {"N5Click", 0, A, idN5, mNormal | mSort, true, nullptr, false, Frame::None,
         [](W& w, WORD, unsigned) { N5Click(w); }},
        {"N6Click", 0, A, idN6, mAll, true, CaptureAllowed, false, Frame::None,
         [](W& w, WORD, unsigned) { w.N6Click(); }},
        {"ConvertBMP1Click", 0, A, idConvertBMP1, mAll, false, ConvertAllowed, false,
         Frame::CursorHidden, [](W& w, WORD, unsigned) { ConvertBMP1Click(w); }},
        {"VersionInfo1Click", 0, A, idVersionInfo1, mAll, false, nullptr, false, Frame::None,
         [](W& w, WORD, unsigned) {
             CurrentDialogs().Message(w.Owner(), L"Tovane 32 Version 2.00．", L"ﾊﾞｰｼﾞｮﾝ情報",
                                      MB_OK);
         }},
    };
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> rows = CommandRows::Make();
    return rows;
}

unsigned ModeOf(const BrowserState& st) {
    return st.CaptureMode ? mCapture : st.SortMode ? mSort : mNormal;
}

const Command* CommandForKey(WORD key, unsigned shift, const BrowserState& st) {
    const unsigned mode = ModeOf(st);
    for (const Command& c : Commands())
        if (c.key && KeyMatches(c, key) && ShiftMatches(c.shift, shift) && (c.modes & mode))
            return &c;
    return nullptr;
}

const Command* CommandForMenu(int id) {
    for (const Command& c : Commands())
        if (c.menuId == id) return &c;
    return nullptr;
}

unsigned MenuShift(const Command& c) {
    return c.shift == ShiftRule::Shift ? unsigned{ssShift} : 0u;
}

Result IsCommandEnabled(const Command& c, const BrowserState& st) {
    if (!(c.modes & ModeOf(st))) return Result::Refused().As(Say::Nothing);
    return c.available ? c.available(st) : Result::Ok();
}

} // namespace tovn
