// Copy, move and delete with backup, wherever the browser's place is.
#include "app/dialogs.h"
#include "app/report.h"
#include "app/wait_window.h"
#include "app/win_text.h"
#include "browser/browser_port.h"
#include "core/slots.h"
#include "core/text.h"
#include "fileops/archive_ops.h"
#include "fileops/commands.h"
#include "picture/picture_host.h"
#include "place/shell_ops.h"
#include "fileops/slot_edits.h"

namespace tovn {

namespace {

void OpenDestination(BrowserPort& w) {
    const BrowserState& st = w.State();
    w.ShowFolder(st.CopyDir, st.DispCount);
}

void ShowRemoval(BrowserPort& w) {
    AfterRemoval(w);
    w.Redraw(rdEmptyCells);
    w.Redraw(rdStatusBar);
}

} // namespace

bool ChooseDestination(BrowserPort& w, const wchar_t* purpose) {
    const BrowserState& st = w.State();
    ChooserRequest request{purpose, st.CurrentDir, st.CopyDir, w.Pictures().PluginMask(),
                           st.DispCount};
    ChooserAnswer answer;
    bool ok = CurrentDialogs().Choose(w.Owner(), request, answer);
    if (!ok || answer.folder.empty()) {
        Report(w, Result::Refused());
        return false;
    }
    w.Options().CopyDir = WithTrailingBackslash(answer.folder);
    return true;
}

void CopyOrMove(BrowserPort& w, bool move, bool openDestination) {
    const BrowserState& st = w.State();
    if (!ChooseDestination(w, move ? L"Move" : L"Copy")) return;
    const TargetList targets = w.CollectTargets();
    BrowserSlots slots(w);
    Place& place = w.CurrentPlace();
    const FileOutcome done = move ? place.Move(targets, st.CopyDir, BackupOf(st), slots)
                                  : place.Copy(targets, st.CopyDir, BackupOf(st), slots);
    Report(w, done.result);
    if (done.goOn && openDestination)
        OpenDestination(w);
    else if (done.goOn && move)
        ShowRemoval(w);
}

void DeleteWithBackup(BrowserPort& w) {
    const BrowserState& st = w.State();
    if (CurrentDialogs().Message(w.Owner(), L"ファイルを削除します．", L"削除確認", MB_OKCANCEL) !=
        IDOK) {
        Report(w, Result::Refused());
        return;
    }
    const TargetList targets = w.CollectTargets();
    BrowserSlots slots(w);
    const FileOutcome done = w.CurrentPlace().Delete(targets, BackupOf(st), slots);
    Report(w, done.result);
    if (done.goOn) ShowRemoval(w);
}

void AfterRemoval(BrowserPort& w) {
    const BrowserState& st = w.State();
    switch (PlanAfterRemoval(st)) {
    case CursorAfterRemoval::NextOnPage:
        w.GoToCell(st.CurrentPage, st.CursorCell, false);
        break;
    case CursorAfterRemoval::FirstOfList:
        w.GoToCell(1, 0, true);
        break;
    case CursorAfterRemoval::Stay:
        break;
    }
}

} // namespace tovn
