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

// The packed files are removed only when the new archive holds each with the same contents
// as the work folder's copy, and those copies match the open archive's members; never when
// the new archive is the open one itself, which would delete what was just packed.
void RemovePacked(BrowserPort& w, const TargetList& targets, const std::wstring& archivePath,
                  const std::wstring& work) {
    Place& place = w.CurrentPlace();
    // The files packed: those the command line could carry and that were still there.
    TargetList packed;
    std::vector<std::wstring> names;
    for (const NamedIndex& t : targets.items) {
        if (!CarriedAsIs(t.name) || !PathExists(work + t.name)) continue;
        packed.items.push_back(t);
        names.push_back(t.name);
    }
    if (EqualNoCase(archivePath, place.Path()) ||
        !ArchiveMatchesFiles(w.Owner(), archivePath, work, names) ||
        (place.IsArchive() && !ArchiveMatchesFiles(w.Owner(), place.Path(), work, names))) {
        Report(w, FilesKept());
        return;
    }
    BrowserSlots slots(w, BrowserSlots::kNoStages); // the waiting window keeps its text
    const FileOutcome removed = place.Delete(packed, Backup{}, slots); // the archive holds them
    Report(w, removed.result);
    if (removed.goOn) w.Redraw(rdEmptyCells);
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
    Place& place = w.CurrentPlace();
    std::wstring work;
    if (Succeeded(w, place.PrepareWork(work)) && Succeeded(w, place.ExtractToWork(targets))) {
        PackTargets(w, targets, archivePath, work);
        if (removePacked) RemovePacked(w, targets, archivePath, work);
    }
    place.EndWork(); // the archives hold what the work folder does, or were left as they were
    ShowWaiting(L"", w.Owner());
    AfterRemoval(w);
    w.Redraw(rdStatusBar);
}

} // namespace tovn
