#include "macro/run_macro.h"
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
#include <algorithm>

namespace tovn {

namespace {

// Targets found missing leave empty slots, as files deleted behind the program's back do.
void EmptyMissingSlots(BrowserPort& w, const std::vector<int>& slots) {
    for (int slot : slots) EmptySlot(w.State(), slot);
    if (!slots.empty()) w.Redraw(rdEmptyCells);
}

// A name the code page cannot spell would reach the batch as "?" or a look-alike, which the
// interpreter may take for other files; a "^" in a quoted name is doubled by "CALL". Such
// targets are left out, and the user is told.
void LeaveOutUnspellableTargets(BrowserState& st, HWND window) {
    std::wstring leftOut;
    auto unspellable = [&](const NamedIndex& t) {
        if (CarriedAsIs(t.name) && t.name.find(L'^') == std::wstring::npos) return false;
        leftOut += L"\n" + t.name;
        return true;
    };
    auto& targets = st.TargetList;
    targets.erase(std::remove_if(targets.begin(), targets.end(), unspellable), targets.end());
    if (!leftOut.empty())
        Warn(window, L"次のファイルは名前をバッチに書けないため除きました．" + leftOut,
             L"Names Left Out");
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
        RunUnlha(w.Owner(), ToAnsi(MoveBackCommand(w.ArchivePath(), tempDir)));
    if (read && ArchiveHolds(w, w.ArchivePath(), files) && !HoldsSubfolder(tempDir)) {
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
    BrowserState& st = w.State();
    w.CollectTargets();
    LeaveOutUnspellableTargets(st, window);
    if (st.LhaMode) {
        if (!PrepareTempDir(w, window)) return false;
        ExtractTargets(w, st.TempDir);
    }
    const std::wstring workDir = st.LhaMode ? st.TempDir : st.CurrentDir;
    MacroBatch batch =
        ExpandMacro(FromAnsi(macro), workDir, st.TargetList,
                    [&](const std::wstring& name) { return FileExists(workDir + name); });
    EmptyMissingSlots(w, batch.missingSlots);
    const std::wstring batchPath = w.ProgramDir() + BatchFileName(batch.kind);
    if (!WriteFileBytes(batchPath, ToAnsi(BatchText(batch.lines)))) {
        ReportUnwritable(window, batchPath);
        return false;
    }
    if (batch.startDirectly) {
        // A program started on its own: the extracted copies stay in the work folder.
        if (!batch.macroText.empty()) RunAndWait(ToAnsi(batch.macroText));
        return true;
    }
    if (!RunAndWait("\"" + ToAnsi(batchPath) + "\"").started) return false;
    if (st.LhaMode && !st.TargetList.empty()) MoveBackIntoArchive(w, window);
    return true;
}

} // namespace tovn
