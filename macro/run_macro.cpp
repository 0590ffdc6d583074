#include "macro/run_macro.h"
#include "app/batch_file.h"
#include "app/dialogs.h"
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

// True when folder (ends in "\\") holds a folder of its own, which the move back leaves out.
bool HoldsSubfolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    UniqueFind find(::FindFirstFileW((folder + L"*").c_str(), &found));
    if (!find) return false;
    do {
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
            return true;
    } while (::FindNextFileW(find.get(), &found));
    return false;
}

// Moves every file of the work folder back into the archive. The folder is cleared only
// once the archive holds each of them with the same contents and nothing else is left in
// it; otherwise the files stay where no command clears them and the user is told where.
void MoveBackIntoArchive(BrowserPort& w, HWND window) {
    const std::wstring& tempDir = w.State().TempDir;
    std::vector<NamedDigest> files;
    const bool read = FolderDigests(tempDir, files);
    if (read && !files.empty())
        RunUnlha(w.Owner(), ToAnsi(MoveBackCommand(w.CurrentPlace().Path(), tempDir)));
    if (read && ArchiveHolds(w.Owner(), w.CurrentPlace().Path(), files) &&
        !HoldsSubfolder(tempDir)) {
        ClearTempDir(w);
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
    const BrowserState& st = w.State();
    const TargetList targets = w.CollectTargets();
    if (st.LhaMode) {
        if (!PrepareTempDir(w, window)) return false;
        (void)ExtractForCommand(w, targets, st.TempDir); // a missing copy writes no line
    }
    const std::wstring workDir = st.LhaMode ? st.TempDir : st.CurrentDir;
    const MacroPlace place{workDir, PathForms(BatchFolder(workDir)),
                           [&](const std::wstring& name) { return FileExists(workDir + name); },
                           [&](const std::wstring& name) { return NameFormsIn(workDir, name); }};
    MacroBatch batch = ExpandMacro(FromAnsi(macro), place, targets.items);
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
    if (st.LhaMode && !targets.items.empty()) MoveBackIntoArchive(w, window);
    return true;
}

} // namespace tovn
