// BMP conversion: a BMP copy of each chosen picture beside it (in archive mode: into the
// open archive), then the list is read again.
#include "app/report.h"
#include "app/wait_window.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/browser_port.h"
#include "core/slide_geometry.h"
#include "core/slots.h"
#include "fileops/archive_ops.h"
#include "fileops/commands.h"
#include "fileops/requests.h"
#include "picture/convert_bmp.h"
#include "picture/picture_host.h"
#include "place/shell_ops.h"

namespace tovn {

namespace {

const wchar_t kSaveCaption[] = L"TOVN Can not Save Files";

// Decodes one target and writes its BMP into outDir; reports a failure and returns false.
bool ConvertOne(BrowserPort& w, const std::wstring& name, const std::wstring& outDir,
                std::wstring& written) {
    const LoadedPicture loaded = w.Pictures().LoadPicture(name, lpConvert, w.Source());
    if (!loaded.ok) {
        Report(w.Owner(), loaded.Outcome());
        Report(w.Owner(), Result::Error(name + L"は扱えません．", kSaveCaption));
        return false;
    }
    written = BmpOutputName(name);
    const std::vector<uint8_t> file = BmpFileOf(loaded.picture);
    if (file.empty() ||
        !PutAsideBeforeReplacing(w.Owner(), BackupOf(w.State()), outDir, {outDir + written},
                                 WithoutBackup::Replace) ||
        !WriteFileBytes(outDir + written, file.data(), file.size())) {
        Report(w.Owner(), Result::Error(name + L"の保存に失敗しました．", kSaveCaption, Say::Box));
        return false;
    }
    return true;
}

// Where copies of the converted files and of the archive stay until the archive is seen to
// hold every converted file: a new folder beside the program, since the work folder belongs
// to one operation and an earlier run's copies must not be replaced.
std::wstring NewKeptFolder(const std::wstring& programDir) {
    for (int n = 1; n < 1000; ++n) {
        const std::wstring folder =
            programDir + L"KEPT" + (n > 1 ? std::to_wstring(n) : std::wstring()) + L"\\";
        if (!PathExists(folder)) return folder;
    }
    return L"";
}

bool KeepCopies(const std::wstring& archivePath, const std::wstring& archiveName,
                const std::wstring& tempDir, const std::wstring& kept,
                const std::vector<std::wstring>& saved) {
    if (kept.empty() || !MakeFolderWithParents(kept) ||
        !::CopyFileW(archivePath.c_str(), (kept + archiveName).c_str(), FALSE))
        return false;
    for (const std::wstring& name : saved)
        if (!::CopyFileW((tempDir + name).c_str(), (kept + name).c_str(), FALSE)) return false;
    return true;
}

void ReportNotMoved(BrowserPort& w, const std::wstring& where) {
    Report(w.Owner(), Result::Error(L"書庫にBMPファイルを入れられませんでした．変換したファイルは" +
                                        where + L"にあります．",
                                    kSaveCaption));
}

} // namespace

void MoveIntoArchive(BrowserPort& w, const std::vector<std::wstring>& saved) {
    const BrowserState& st = w.State();
    const std::wstring archivePath = w.CurrentPlace().Path();
    const std::wstring kept = NewKeptFolder(w.ProgramDir());
    if (kept.empty()) return ReportNotMoved(w, st.TempDir);
    bool held = false, restored = true;
    const bool copiesKept = KeepCopies(archivePath, st.ArchiveName, st.TempDir, kept, saved);
    if (copiesKept) {
        std::wstring command = L"m -c -n " + Quoted(archivePath);
        for (const std::wstring& name : saved) command += L" " + Quoted(st.TempDir + name);
        RunUnlha(w.Owner(), ToAnsi(command));
        held = ArchiveMatchesFiles(w.Owner(), archivePath, kept, saved);
        if (!held)
            restored = ::CopyFileW((kept + st.ArchiveName).c_str(), archivePath.c_str(), FALSE);
    }
    // The archive's copy goes only once the archive is whole again.
    if (restored) ::DeleteFileW((kept + st.ArchiveName).c_str());
    if (held) {
        ClearTempDir(kept);
        ClearTempDir(w);
        return;
    }
    if (!copiesKept) ClearTempDir(kept);
    ReportNotMoved(w, copiesKept ? kept : st.TempDir);
}

void ConvertBMP1Click(BrowserPort& w) {
    const BrowserState& st = w.State();
    std::wstring outDir = st.CurrentDir;
    if (st.LhaMode) {
        CreateTempDir(w);
        outDir = st.TempDir;
    }
    std::vector<std::wstring> saved;
    const TargetList targets = w.CollectTargets();
    for (const NamedIndex& t : targets.items) {
        ShowWaiting(L"Now Converting:" + st.CurrentDir + t.name, w.Owner());
        if (!w.CheckSlotFile(t.index) || UpperExtension(t.name) == L".BMP") continue;
        std::wstring written;
        if (ConvertOne(w, t.name, outDir, written)) saved.push_back(written);
    }
    if (st.LhaMode) {
        if (saved.empty())
            ClearTempDir(w);
        else
            MoveIntoArchive(w, saved);
    }
    ShowWaiting(L"", w.Owner());
    // Read again as the S key does, so that the new files appear and the cursor stays.
    w.Redraw(rdList | rdCells | rdScrollBar | rdStatusBar);
    w.SetCursorBand(true);
}

} // namespace tovn
