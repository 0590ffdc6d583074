// Rename, numbered rename, new folder, insert space and duplicate.
#include "app/dialogs.h"
#include "app/report.h"
#include "app/wait_window.h"
#include "app/win_text.h"
#include "browser/browser_port.h"
#include "core/slots.h"
#include "fileops/archive_ops.h"
#include "fileops/commands.h"
#include "fileops/names.h"
#include "place/shell_ops.h"
#include "fileops/slot_edits.h"
#include <optional>

namespace tovn {

namespace {

const wchar_t* const kNameError = L"File Name Error";
const wchar_t* const kBlankText = L"空白が入っています．";

// Ends a rename command: targets done so far keep their new names.
void EndRename(BrowserPort& w) {
    w.Redraw(rdStatusBar);
}

void Abort(BrowserPort& w, const std::wstring& text, const std::wstring& caption) {
    Report(w, Result::Error(text, caption));
    EndRename(w);
}

void Cancelled(BrowserPort& w) {
    Report(w, Result::Refused());
    EndRename(w);
}

// The short-name checks; false after reporting a refused name.
bool AcceptTypedName(BrowserPort& w, const std::wstring& text, size_t limit,
                     const std::wstring& tooLongText, const std::wstring& caption) {
    switch (CheckTypedName(text, ToAnsi(text).size(), limit, w.State().LongFileNames)) {
    case NameProblem::TooLong:
        Report(w, Result::Error(tooLongText, caption));
        return false;
    case NameProblem::Blank:
        Report(w, Result::Error(kBlankText, caption));
        return false;
    case NameProblem::None:
        return true;
    }
    return true;
}

// A failed rename, whatever the reason, counts as a clash.
bool RenameTarget(BrowserPort& w, const std::wstring& oldName, const std::wstring& newName) {
    return StaysInFolder(newName) && Succeeded(w, w.CurrentPlace().Rename(oldName, newName));
}

// Checks the target's file and renames it to newName; false after aborting the command.
bool RenameOne(BrowserPort& w, const NamedIndex& target, const std::wstring& newName) {
    if (!w.CheckSlotFile(target.index)) {
        Abort(w, L"ファイルがありません．中止します．", L"File Not Exists");
        return false;
    }
    if (!RenameTarget(w, target.name, newName)) {
        Abort(w, L"ファイルネームが重複しています．中止します．", kNameError);
        return false;
    }
    return true;
}

// The targets of a rename; nothing when the archive vanished.
std::optional<TargetList> StartRename(BrowserPort& w) {
    if (!w.ArchiveStillThere()) return std::nullopt;
    return w.CollectTargets();
}

// The two input boxes of numbered rename; false when the command ended.
bool AskNumberedName(BrowserPort& w) {
    const BrowserState& st = w.State();
    std::wstring part = st.RenameName;
    const wchar_t* prompt = st.LongFileNames ? L"ファイル名部分を入れて下さい．"
                                             : L"ファイル名部分を５文字以内で入力して下さい．";
    if (!CurrentDialogs().Input(w.Owner(), L"連番リネーム", prompt, part)) {
        Cancelled(w);
        return false;
    }
    w.Options().RenameName = part;
    if (!AcceptTypedName(w, part, kNamePartLimit, L"５文字以内で入力して下さい．", kNameError)) {
        EndRename(w);
        return false;
    }
    std::wstring number = std::to_wstring(st.RenameNo);
    if (!CurrentDialogs().Input(w.Owner(), L"連番リネーム　ナンバー", L"３桁以内で入力して下さい．",
                                number)) {
        Cancelled(w);
        return false;
    }
    switch (ParseRenameNumber(number, w.Options().RenameNo)) {
    case NumberProblem::TooLong:
        Abort(w, L"３桁以内で入力して下さい．", kNameError);
        return false;
    case NumberProblem::NotANumber:
        Report(w, Result::Error(L"数値で力して下さい．", kNameError, Say::BoxBeep));
        return false;
    case NumberProblem::None:
        return true;
    }
    return true;
}

} // namespace

void NumberedRename(BrowserPort& w) {
    const BrowserState& st = w.State();
    const std::optional<TargetList> targets = StartRename(w);
    if (!targets || !AskNumberedName(w)) return;
    ShowWaiting(L"Now Renaming Files", w.Owner());
    for (const NamedIndex& t : targets->items) {
        if (st.RenameNo >= kRenameNoLimit) {
            Abort(w, L"連番が1000を越えました．", kNameError);
            return;
        }
        const std::wstring newName = NumberedName(st.RenameName, st.RenameNo, t.name);
        if (!RenameOne(w, t, newName)) return;
        ++w.Options().RenameNo;
        w.ApplySlots(SlotChanges::Renamed(t.index, newName));
    }
    EndRename(w);
}

void RenameEach(BrowserPort& w) {
    const BrowserState& st = w.State();
    const std::optional<TargetList> targets = StartRename(w);
    if (!targets) return;
    const wchar_t* prompt =
        st.LongFileNames ? L"新しいファイル名を入れて下さい．" : L"８文字以内で入力して下さい．";
    for (const NamedIndex& t : targets->items) {
        std::wstring text = StemBeforeFirstDot(t.name);
        if (!CurrentDialogs().Input(w.Owner(), L"ReName Files", prompt, text)) {
            Cancelled(w);
            return;
        }
        if (!AcceptTypedName(w, text, kShortNameLimit, L"８文字以内で入力して下さい．",
                             kNameError)) {
            EndRename(w);
            return;
        }
        const std::wstring newName = text + ExtensionOf(t.name);
        if (!RenameOne(w, t, newName)) return;
        w.ApplySlots(SlotChanges::Renamed(t.index, newName));
    }
    EndRename(w);
}

void NewFolder(BrowserPort& w) {
    const BrowserState& st = w.State();
    std::wstring name;
    if (!CurrentDialogs().Input(w.Owner(), L"ディレクトリ作成", L"ディレクトリ名を入力して下さい．",
                                name) ||
        name.empty()) {
        Report(w, Result::Refused());
        return;
    }
    if (!AcceptTypedName(w, name, kShortNameLimit, L"８文字以内で入力して下さい．",
                         L"Directory Name Error"))
        return;
    std::wstring path = st.CurrentDir + name;
    if (FolderExists(path)) return;
    if (!MakeFolderWithParents(path))
        Report(w, Result::Error(L"ﾃﾞｨﾚｸﾄﾘの作成に失敗しました．", L"Error"));
}

void InsertSpaceAtCursor(BrowserPort& w) {
    const BrowserState& st = w.State();
    if (w.ApplySlots(SlotChanges::SpaceAtCursor()) == 0) return;
    w.GoToCell(st.CurrentPage, st.CursorCell, true);
    w.Redraw(rdCells);
}

void Duplicate(BrowserPort& w) {
    const BrowserState& st = w.State();
    const TargetList targets = w.CollectTargets();
    if (!targets.fromMarks) {
        Report(w, Result::Refused());
        return;
    }
    const NamedIndex& target = targets.items[0]; // only the first marked file is duplicated
    for (int i = 0; i < kDuplicateTries; ++i) {
        const std::wstring newName = DuplicateName(i, target.name);
        if (!w.ArchiveStillThere()) return;
        Place& place = w.CurrentPlace();
        if (place.Has(newName)) continue;
        // In the archive the slot appears only once the archive really holds the copy.
        if (Succeeded(w, place.Duplicate(target.name, newName))) {
            w.ApplySlots(SlotChanges::Inserted(CursorSlot(st), newName));
            w.Redraw(rdCells);
        }
        return;
    }
    Report(w, Result::Refused()); // every name from 000 to 997 is taken
}

} // namespace tovn
