#include "fileops/archive_ops.h"
#include "app/handles.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/browser_port.h"
#include "fileops/requests.h"
#include "fileops/shell_ops.h"
#include "fileops/slot_edits.h"

namespace tovn {

namespace {

void Run(BrowserPort& w, const std::wstring& commandLine) {
    RunUnlha(w.Owner(), ToAnsi(commandLine));
}

} // namespace

bool CarriedAsIs(const std::wstring& name) {
    return Quotable(name) && FromAnsi(ToAnsi(name)) == name;
}

std::vector<std::wstring> ArchiveTargetNames(BrowserPort& w) {
    std::vector<std::wstring> names;
    for (const NamedIndex& t : w.State().TargetList)
        if (CarriedAsIs(t.name)) names.push_back(t.name);
    return names;
}

bool ExtractTargets(BrowserPort& w, const std::wstring& folder) {
    if (!FileExists(w.ArchivePath())) return false;
    Run(w, ExtractCommand(w.ArchivePath(), folder, ArchiveTargetNames(w)));
    return true;
}

void PackTargets(BrowserPort& w, const std::wstring& archivePath,
                 const std::wstring& sourceFolder) {
    Run(w, PackCommand(archivePath, sourceFolder, ArchiveTargetNames(w)));
}

bool DeleteTargetsFromArchive(BrowserPort& w) {
    if (!FileExists(w.ArchivePath())) return false;
    Run(w, DeleteCommand(w.ArchivePath(), ArchiveTargetNames(w)));
    BrowserState& st = w.State();
    for (const NamedIndex& t : st.TargetList)
        if (CarriedAsIs(t.name)) EmptySlot(st, t.index);
    return true;
}

bool ArchiveHasMember(BrowserPort& w, const std::wstring& archivePath, const std::wstring& name) {
    return FindArchiveEntry(w.Owner(), ToAnsi(archivePath), ToAnsi(name));
}

bool RenameArchiveMember(BrowserPort& w, const std::wstring& oldName, const std::wstring& newName) {
    if (!CarriedAsIs(oldName) || !CarriedAsIs(newName)) return false;
    if (ArchiveHasMember(w, w.ArchivePath(), newName)) return false;
    Run(w, RenameCommand(w.ArchivePath(), oldName, newName));
    return true;
}

bool CreateTempDir(BrowserPort& w) {
    return MakeFolderWithParents(w.State().TempDir);
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
