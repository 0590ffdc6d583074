#include "macro/run_macro.h"
#include "app/batch_file.h"
#include "app/dialogs.h"
#include "app/report.h"
#include "app/run_and_wait.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/browser_port.h"
#include "fileops/archive_ops.h"
#include "fileops/requests.h"
#include "fileops/slot_edits.h"
#include "macro/expansion.h"
#include "win/handles.h"

namespace tovn {

namespace {

// Targets found missing leave empty slots, as files deleted behind the program's back do.
void EmptyMissingSlots(BrowserPort& w, const std::vector<int>& slots) {
    for (int slot : slots) w.ApplySlots(SlotChanges::Emptied(slot));
    if (!slots.empty()) w.Redraw(rdEmptyCells);
}

// Targets whose names no batch line can carry exactly (the code page cannot spell them and
// the volume has no short name that it can) were left out; the user is told which.
void ReportLeftOut(HWND window, const std::vector<std::wstring>& names) {
    if (names.empty()) return;
    std::wstring list;
    for (const std::wstring& name : names) list += L"\n" + name;
    Warn(window, L"次のファイルは名前をバッチに書けないため除きました．" + list, L"Names Left Out");
}

// Writes the batch, or tells why it must not run; true when it was written.
bool WriteMacroBatch(HWND window, const MacroBatch& batch, const std::wstring& path,
                     const std::wstring& workDir) {
    if (batch.refusal == BatchRefusal::Folder) {
        ReportBatchRefused(window, L"フォルダ " + workDir);
        return false;
    }
    if (batch.refusal == BatchRefusal::TooLong) {
        ReportBatchTooLong(window);
        return false;
    }
    switch (WriteBatchFile(path, batch.lines)) {
    case BatchWrite::Written:
        return true;
    case BatchWrite::Refused:
        ReportBatchRefused(window, L"フォルダ " + workDir);
        return false;
    case BatchWrite::Unwritable:
        break;
    }
    ReportUnwritable(window, path);
    return false;
}

// Whatever the macro left in the work folder goes back into the archive; what the archive
// could not take (or a folder made there) stays, set aside where no command clears it, and
// the user is told where.
void StoreWorkBack(BrowserPort& w, HWND window) {
    Place& place = w.CurrentPlace();
    if (place.StoreAllBack()) {
        place.EndWork();
        return;
    }
    Warn(window, L"書庫に戻せなかったファイルを " + SetTempDirAside(w) + L" に残しました．",
         L"Files Kept");
}

} // namespace

void ReportUnwritable(HWND window, const std::wstring& path) {
    Warn(window, path + L" に書き込めません．", L"I/O Error");
}

bool RunMacro(BrowserPort& w, HWND window, const std::string& macro) {
    const TargetList targets = w.CollectTargets();
    Place& place = w.CurrentPlace();
    std::wstring workDir;
    const Result prepared = place.PrepareWork(workDir);
    if (!prepared) {
        Report(window, prepared);
        return false;
    }
    (void)place.ExtractToWork(targets); // a missing copy writes no line
    const MacroPlace files{workDir, PathForms(BatchFolder(workDir)),
                           [&](const std::wstring& name) { return FileExists(workDir + name); },
                           [&](const std::wstring& name) { return NameFormsIn(workDir, name); }};
    MacroBatch batch = ExpandMacro(FromAnsi(macro), files, targets.items);
    EmptyMissingSlots(w, batch.missingSlots);
    const std::wstring batchPath = w.ProgramDir() + BatchFileName(batch.kind);
    if (!WriteMacroBatch(window, batch, batchPath, workDir)) return false;
    if (batch.startDirectly) {
        // A program started on its own: the extracted copies stay in the work folder.
        if (batch.macroText.empty()) return true;
        std::string direct;
        if (ExactAnsi(batch.macroText, direct)) {
            RunAndWait(direct);
            return true;
        }
        ReportBatchRefused(window, L"フォルダ " + workDir);
        return false;
    }
    const std::optional<std::string> command = BatchCommandLine(batchPath);
    if (!command) {
        ReportBatchRefused(window, batchPath);
        return false;
    }
    ReportLeftOut(window, batch.leftOut);
    if (!RunAndWait(*command).started) return false;
    if (!targets.items.empty()) StoreWorkBack(w, window);
    return true;
}

} // namespace tovn
