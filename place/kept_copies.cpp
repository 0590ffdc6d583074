#include "place/kept_copies.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "place/place.h"
#include "win/handles.h"

namespace tovn {

Result FilesKept() {
    return Result::Error(L"コピーを確かめられないため，元のファイルは削除しませんでした．",
                         L"Files Kept");
}

bool ArchiveMatchesFiles(HWND owner, const std::wstring& archivePath, const std::wstring& folder,
                         const std::vector<std::wstring>& names) {
    std::vector<NamedDigest> files;
    for (const std::wstring& name : names) {
        files.push_back({name, {}});
        if (!ReadDigest(folder + name, files.back().digest)) return false;
    }
    return ArchiveHolds(owner, archivePath, files);
}

bool ArchiveHolds(HWND owner, const std::wstring& archivePath,
                  const std::vector<NamedDigest>& files) {
    for (const NamedDigest& file : files) {
        if (!CarriedAsIs(file.name)) return false;
        IndividualInfo entry;
        if (!FindArchiveEntry(owner, ToAnsi(archivePath), ToAnsi(file.name), &entry)) return false;
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

std::vector<std::wstring> ArchiveTargetNames(const TargetList& targets) {
    std::vector<std::wstring> names;
    for (const NamedIndex& t : targets.items)
        if (CarriedAsIs(t.name)) names.push_back(t.name);
    return names;
}

Result PutAsideBeforeReplacing(HWND owner, const Backup& backup, const std::wstring& folder,
                               const std::vector<std::wstring>& paths, WithoutBackup without) {
    std::vector<std::wstring> existing;
    for (const std::wstring& path : paths)
        if (FileExists(path)) existing.push_back(path);
    if (existing.empty()) return Result::Ok();
    const ShellRequest request = DeletionRequest(backup.mode, false, folder, backup.folder);
    // Only the requests that keep a copy allow undo; the others would delete for good.
    if (!(request.flags & kShellAllowUndo))
        return without == WithoutBackup::Replace
                   ? Result::Ok()
                   : Result::Fail(L"no backup kept for " + existing.front(), ERROR_ACCESS_DENIED);
    Result moved = RunShellOperation(owner, request, existing);
    if (!moved) return moved;
    for (const std::wstring& path : existing)
        if (PathExists(path)) return Result::Fail(L"not put aside: " + path, ERROR_ACCESS_DENIED);
    return Result::Ok();
}

} // namespace tovn
