#include "fileops/archive_ops.h"
#include "app/report.h"
#include "win/handles.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/browser_port.h"
#include "fileops/commands.h"
#include "fileops/requests.h"
#include "place/shell_ops.h"
#include "fileops/slot_edits.h"

namespace tovn {

namespace {

Result Run(BrowserPort& w, const std::wstring& commandLine) {
    return RunArchiveCommand(w.Owner(), ToAnsi(commandLine));
}

Result ArchiveMissing(BrowserPort& w) {
    return Result::Fail(L"archive missing: " + w.ArchivePath(), ERROR_FILE_NOT_FOUND);
}

// A failed archive step as a command reports it: the archive vanished, or the failure itself.
Result ForCommand(BrowserPort& w, const Result& r) {
    if (!r && !FileExists(w.ArchivePath())) return Result::ArchiveGone();
    return r;
}

} // namespace

std::vector<std::wstring> ArchiveTargetNames(const TargetList& targets) {
    std::vector<std::wstring> names;
    for (const NamedIndex& t : targets.items)
        if (CarriedAsIs(t.name)) names.push_back(t.name);
    return names;
}

Result ExtractTargets(BrowserPort& w, const TargetList& targets, const std::wstring& folder) {
    if (!FileExists(w.ArchivePath())) return ArchiveMissing(w);
    // The library replaces files of the same name without asking: they are kept first.
    const std::vector<std::wstring> names = ArchiveTargetNames(targets);
    std::vector<std::wstring> paths;
    for (const std::wstring& name : names) paths.push_back(folder + name);
    Result keptAside = PutAsideBeforeReplacing(w, folder, paths, WithoutBackup::Replace);
    if (!keptAside) return keptAside;
    return Run(w, ExtractCommand(w.ArchivePath(), folder, names));
}

Result ExtractForCommand(BrowserPort& w, const TargetList& targets, const std::wstring& folder) {
    return ForCommand(w, ExtractTargets(w, targets, folder));
}

void PackTargets(BrowserPort& w, const TargetList& targets, const std::wstring& archivePath,
                 const std::wstring& sourceFolder) {
    // Whether the archive holds what it should is checked member by member by the callers
    // that remove anything; a refusal alone is only logged.
    (void)Run(w, PackCommand(archivePath, sourceFolder, ArchiveTargetNames(targets)));
}

Result DeleteTargetsFromArchive(BrowserPort& w, const TargetList& targets) {
    if (!FileExists(w.ArchivePath())) return ArchiveMissing(w);
    Result r = Run(w, DeleteCommand(w.ArchivePath(), ArchiveTargetNames(targets)));
    if (!r) return r;
    BrowserState& st = w.State();
    for (const NamedIndex& t : targets.items)
        if (CarriedAsIs(t.name)) EmptySlot(st, t.index);
    return r;
}

Result DeleteForCommand(BrowserPort& w, const TargetList& targets) {
    return ForCommand(w, DeleteTargetsFromArchive(w, targets));
}

std::unique_ptr<Place> OpenPlace(BrowserPort& w) {
    const BrowserState& st = w.State();
    if (st.LhaMode) return std::make_unique<ArchivePlace>(w.Owner(), w.ArchivePath(), st.TempDir);
    return std::make_unique<FolderPlace>(st.CurrentDir);
}

bool CreateTempDir(BrowserPort& w) {
    return PrepareWorkFolder(w.State().TempDir).ok();
}

bool PrepareTempDir(BrowserPort& w, HWND owner) {
    const Result r = PrepareWorkFolder(w.State().TempDir);
    Report(owner, r);
    return r.ok();
}

std::wstring SetTempDirAside(BrowserPort& w) {
    const std::wstring& tempDir = w.State().TempDir;
    const std::wstring from = tempDir.substr(0, tempDir.size() - 1);
    for (int n = 1; n < 1000; ++n) {
        const std::wstring to = from + L"." + std::to_wstring(n);
        if (PathExists(to)) continue;
        if (::MoveFileW(from.c_str(), to.c_str())) return to + L"\\";
        break;
    }
    return tempDir;
}

void ClearTempDir(BrowserPort& w) {
    tovn::ClearTempDir(w.State().TempDir);
}

bool ArchiveMatchesFiles(BrowserPort& w, const std::wstring& archivePath,
                         const std::wstring& folder, const std::vector<std::wstring>& names) {
    std::vector<NamedDigest> files;
    for (const std::wstring& name : names) {
        files.push_back({name, {}});
        if (!ReadDigest(folder + name, files.back().digest)) return false;
    }
    return ArchiveHolds(w, archivePath, files);
}

bool ArchiveHolds(BrowserPort& w, const std::wstring& archivePath,
                  const std::vector<NamedDigest>& files) {
    for (const NamedDigest& file : files) {
        if (!CarriedAsIs(file.name)) return false;
        IndividualInfo entry;
        if (!FindArchiveEntry(w.Owner(), ToAnsi(archivePath), ToAnsi(file.name), &entry))
            return false;
        if (file.digest.size != entry.dwOriginalSize || file.digest.crc != (entry.dwCRC & 0xFFFF))
            return false;
    }
    return true;
}

bool FolderDigests(const std::wstring& folder, std::vector<NamedDigest>& files) {
    files.clear();
    WIN32_FIND_DATAW found;
    UniqueFind find(::FindFirstFileW((folder + L"*").c_str(), &found));
    if (!find) return true;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        files.push_back({found.cFileName, {}});
        if (!ReadDigest(folder + found.cFileName, files.back().digest)) return false;
    } while (::FindNextFileW(find.get(), &found));
    return true;
}

} // namespace tovn
