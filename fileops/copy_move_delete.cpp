// Copy, move and delete with backup, in a folder through the shell and in an archive
// through the archive operations.
#include "app/dialogs.h"
#include "app/report.h"
#include "app/wait_window.h"
#include "app/win_text.h"
#include "browser/browser_port.h"
#include "core/slots.h"
#include "core/text.h"
#include "fileops/archive_ops.h"
#include "fileops/commands.h"
#include "place/shell_ops.h"
#include "fileops/slot_edits.h"

namespace tovn {

namespace {

// Copy leaves its files in place and shows vanished ones as empty cells at once. Returns the
// paths of the targets whose files exist in folder.
std::vector<std::wstring> CopyTargets(BrowserPort& w, const TargetList& targets,
                                      const std::wstring& folder) {
    BrowserState& st = w.State();
    std::vector<std::wstring> paths;
    for (const NamedIndex& t : targets.items) {
        std::wstring path = folder + t.name;
        if (!t.name.empty() && PathExists(path)) {
            paths.push_back(path);
            continue;
        }
        EmptySlot(st, t.index);
        w.PaintSlot(t.index);
    }
    return paths;
}

// Move and delete: one shell request for the targets that exist (vanished ones are skipped);
// afterwards exactly the slots of the files that left are emptied, so a refused or cancelled
// request leaves the cells as they were.
Result RemoveThroughShell(BrowserPort& w, const TargetList& targets, const ShellRequest& request,
                          const std::wstring& folder) {
    BrowserState& st = w.State();
    std::vector<std::wstring> paths;
    std::vector<int> slots;
    for (const NamedIndex& t : targets.items) {
        std::wstring path = folder + t.name;
        if (t.name.empty() || !PathExists(path)) continue;
        paths.push_back(path);
        slots.push_back(t.index);
    }
    Result r = RunShellOperation(w.Owner(), request, paths);
    for (size_t i = 0; i < paths.size(); ++i)
        if (!PathExists(paths[i])) EmptySlot(st, slots[i]);
    return r;
}

void OpenDestination(BrowserPort& w) {
    const BrowserState& st = w.State();
    w.ShowFolder(st.CopyDir, st.DispCount, false);
}

void ShowRemoval(BrowserPort& w) {
    AfterRemoval(w);
    w.Redraw(rdEmptyCells);
    w.Redraw(rdStatusBar);
}

// Extracts the targets into folder and checks that every one arrived whole. Returns false
// when the command must stop: the archive is gone (normal mode again) or a copy is missing
// (reported).
bool ExtractAndCheck(BrowserPort& w, const TargetList& targets, const std::wstring& folder) {
    Result extracted = ExtractTargets(w, targets, folder);
    if (!extracted && !FileExists(w.ArchivePath())) {
        Report(w, Result::ArchiveGone());
        return false;
    }
    if (extracted && ArchiveMatchesFiles(w, w.ArchivePath(), folder, ArchiveTargetNames(targets)))
        return true;
    Report(w, FilesKept());
    return false;
}

// Removes the targets from the archive after a copy of them was kept.
bool RemoveFromArchive(BrowserPort& w, const TargetList& targets) {
    return Succeeded(w, DeleteForCommand(w, targets));
}

// The recycle-bin backup of archive members: their extracted copies go to the bin.
bool RecycleArchiveTargets(BrowserPort& w, const TargetList& targets) {
    BrowserState& st = w.State();
    if (!PrepareTempDir(w, w.Owner())) return false;
    bool kept = ExtractAndCheck(w, targets, st.TempDir);
    if (kept) {
        std::vector<std::wstring> paths;
        for (const std::wstring& name : ArchiveTargetNames(targets))
            paths.push_back(st.TempDir + name);
        kept =
            RunShellOperation(w.Owner(), DeletionRequest(1, true, st.TempDir, st.BackupDir), paths)
                .ok();
        if (!kept) Report(w, FilesKept());
    }
    ClearTempDir(w);
    return kept;
}

bool DeleteFromArchive(BrowserPort& w, const TargetList& targets) {
    BrowserState& st = w.State();
    if (st.BackupMode == 1 && !RecycleArchiveTargets(w, targets)) return false;
    if (st.BackupMode == 2) {
        ShowWaiting(L"Now Deleting Files", w.Owner());
        if (!ExtractAndCheck(w, targets, st.BackupDir)) return false;
    }
    ShowWaiting(L"Now Deleting Files", w.Owner());
    return RemoveFromArchive(w, targets);
}

} // namespace

bool ChooseDestination(BrowserPort& w, const wchar_t* purpose) {
    BrowserState& st = w.State();
    ChooserRequest request{purpose, st.CurrentDir, st.CopyDir, w.PluginMask(), st.DispCount};
    ChooserAnswer answer;
    bool ok = CurrentDialogs().Choose(w.Owner(), request, answer);
    if (!ok || answer.folder.empty()) {
        Report(w, Result::Refused());
        return false;
    }
    st.CopyDir = WithTrailingBackslash(answer.folder);
    return true;
}

void CopyOrMove(BrowserPort& w, bool move, bool openDestination) {
    BrowserState& st = w.State();
    if (!ChooseDestination(w, move ? L"Move" : L"Copy")) return;
    const TargetList targets = w.CollectTargets();
    bool done = true;
    if (st.LhaMode) {
        ShowWaiting(move ? L"Now Moving Files" : L"Now Copying Files", w.Owner());
        if (move) {
            done = ExtractAndCheck(w, targets, st.CopyDir) && RemoveFromArchive(w, targets);
        } else {
            done = Succeeded(w, ExtractForCommand(w, targets, st.CopyDir));
        }
    } else if (move) {
        // The shell has shown its own message; the cells show what really moved.
        if (!RemoveThroughShell(w, targets, MoveRequest(st.CopyDir), st.CurrentDir))
            Report(w, Result::Refused());
    } else if (!RunShellOperation(w.Owner(), CopyRequest(st.CopyDir),
                                  CopyTargets(w, targets, st.CurrentDir))) {
        Report(w, Result::Refused());
    }
    if (done && openDestination)
        OpenDestination(w);
    else if (done && move)
        ShowRemoval(w);
}

void DeleteWithBackup(BrowserPort& w) {
    BrowserState& st = w.State();
    if (CurrentDialogs().Message(w.Owner(), L"ファイルを削除します．", L"削除確認", MB_OKCANCEL) !=
        IDOK) {
        Report(w, Result::Refused());
        return;
    }
    const TargetList targets = w.CollectTargets();
    bool done = true;
    if (st.LhaMode)
        done = DeleteFromArchive(w, targets);
    else
        DeleteTargets(w, targets, st.CurrentDir, st.BackupMode);
    if (done) ShowRemoval(w);
}

bool DeleteTargets(BrowserPort& w, const TargetList& targets, const std::wstring& folder,
                   int backupMode) {
    BrowserState& st = w.State();
    return RemoveThroughShell(w, targets,
                              DeletionRequest(backupMode, st.LhaMode, st.CurrentDir, st.BackupDir),
                              folder)
        .ok();
}

Result PutAsideBeforeReplacing(BrowserPort& w, const std::wstring& folder,
                               const std::vector<std::wstring>& paths, WithoutBackup without) {
    std::vector<std::wstring> existing;
    for (const std::wstring& path : paths)
        if (FileExists(path)) existing.push_back(path);
    if (existing.empty()) return Result::Ok();
    const BrowserState& st = w.State();
    const ShellRequest request = DeletionRequest(st.BackupMode, false, folder, st.BackupDir);
    // Only the requests that keep a copy allow undo; the others would delete for good.
    if (!(request.flags & kShellAllowUndo))
        return without == WithoutBackup::Replace
                   ? Result::Ok()
                   : Result::Fail(L"no backup kept for " + existing.front(), ERROR_ACCESS_DENIED);
    Result moved = RunShellOperation(w.Owner(), request, existing);
    if (!moved) return moved;
    for (const std::wstring& path : existing)
        if (PathExists(path)) return Result::Fail(L"not put aside: " + path, ERROR_ACCESS_DENIED);
    return Result::Ok();
}

void AfterRemoval(BrowserPort& w) {
    BrowserState& st = w.State();
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
