// Pack (P): the marked files into a new or existing archive; with Ctrl the packed files
// are then removed, but only once the archive is seen to hold every one of them.
#include "app/dialogs.h"
#include "app/report.h"
#include "app/wait_window.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/browser_port.h"
#include "core/text.h"
#include "fileops/archive_ops.h"
#include "fileops/commands.h"
#include "fileops/requests.h"

namespace tovn {

namespace {

bool AskArchiveName(BrowserPort& w, std::wstring& name) {
    if (CurrentDialogs().Input(w.Owner(), L"ファイル圧縮", L"ファイル名を入力して下さい．", name) &&
        !name.empty())
        return true;
    Report(w, Result::Refused());
    return false;
}

// Packs the archive's own targets through the work folder. They are removed only when the
// work folder's copies match the open archive and the new archive holds the same; never
// when the new archive is the open one itself, which would delete what was just packed.
void PackFromArchive(BrowserPort& w, const TargetList& targets, const std::wstring& archivePath,
                     bool removePacked) {
    const BrowserState& st = w.State();
    if (!PrepareTempDir(w, w.Owner())) return;
    if (!Succeeded(w, ExtractForCommand(w, targets, st.TempDir))) {
        ClearTempDir(w);
        return;
    }
    PackTargets(w, targets, archivePath, st.TempDir);
    if (removePacked) {
        const std::vector<std::wstring> names = ArchiveTargetNames(targets);
        if (EqualNoCase(archivePath, w.CurrentPlace().Path()) ||
            !ArchiveMatchesFiles(w.Owner(), w.CurrentPlace().Path(), st.TempDir, names) ||
            !ArchiveMatchesFiles(w.Owner(), archivePath, st.TempDir, names)) {
            Report(w, FilesKept());
        } else if (Succeeded(w, DeleteForCommand(w, targets))) {
            w.Redraw(rdEmptyCells);
        }
    }
    // Both archives hold what the work folder does, or the open one was left as it was.
    ClearTempDir(w);
}

void PackFromFolder(BrowserPort& w, const TargetList& targets, const std::wstring& archivePath,
                    bool removePacked) {
    const BrowserState& st = w.State();
    PackTargets(w, targets, archivePath, st.CurrentDir);
    if (!removePacked) return;
    // The files packed: those the command line could carry and that were still there.
    TargetList packed;
    std::vector<std::wstring> names;
    for (const NamedIndex& t : targets.items) {
        if (!CarriedAsIs(t.name) || !PathExists(st.CurrentDir + t.name)) continue;
        packed.items.push_back(t);
        names.push_back(t.name);
    }
    if (!ArchiveMatchesFiles(w.Owner(), archivePath, st.CurrentDir, names)) {
        Report(w, FilesKept());
        return;
    }
    BrowserSlots slots(w);
    (void)w.CurrentPlace().Delete(packed, Backup{}, slots); // for good: the archive holds them
    w.Redraw(rdEmptyCells);
}

} // namespace

void Pack(BrowserPort& w, bool removePacked) {
    const BrowserState& st = w.State();
    if (!UnlhaLoaded()) {
        Report(w,
               Result::Error(L"UNLHA32.DLLがロードされていません．", L"UNLHA32.DLL Not Loaded."));
        return;
    }
    std::wstring name;
    if (!AskArchiveName(w, name) || !ChooseDestination(w, L"Pack")) return;
    const TargetList targets = w.CollectTargets();
    ShowWaiting(L"Now Packing Files", w.Owner());
    const std::wstring archivePath = PackArchivePath(st.CopyDir, name);
    if (st.LhaMode)
        PackFromArchive(w, targets, archivePath, removePacked);
    else
        PackFromFolder(w, targets, archivePath, removePacked);
    ShowWaiting(L"", w.Owner());
    AfterRemoval(w);
    w.Redraw(rdStatusBar);
}

} // namespace tovn
