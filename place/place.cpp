#include "place/place.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "core/slots.h"
#include "fileops/requests.h"
#include "place/shell_ops.h"
#include "win/handles.h"

namespace tovn {

bool CarriedAsIs(const std::wstring& name) {
    return Quotable(name) && FromAnsi(ToAnsi(name)) == name;
}

Result PrepareWorkFolder(const std::wstring& folder) {
    if (ClearTempDir(folder) && MakeFolderWithParents(folder)) return Result::Ok();
    return Result::Error(L"作業フォルダを空にできません．\n" + folder, L"Work Folder Error");
}

Result CannotCreate(const std::wstring& name) {
    return Result::Error(L"ファイルが作成出来ません．", name, Say::BoxBeep);
}

namespace {

int32_t PackedDosDate(const FILETIME& written) {
    FILETIME local;
    WORD date = 0, time = 0;
    ::FileTimeToLocalFileTime(&written, &local);
    ::FileTimeToDosDateTime(&local, &date, &time);
    return static_cast<int32_t>((static_cast<uint32_t>(date) << 16) | time);
}

// A copy of the file at path beside it, under a name of its own; empty when none was made.
std::wstring CopyAside(const std::wstring& path) {
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    wchar_t name[MAX_PATH] = {};
    if (!::GetTempFileNameW(folder.c_str(), L"TVN", 0, name)) return {};
    if (::CopyFileW(path.c_str(), name, FALSE) &&
        ::SetFileAttributesW(name, FILE_ATTRIBUTE_NORMAL)) // the copy must be removable
        return name;
    ::DeleteFileW(name);
    return {};
}

bool SameSizeAndTime(const std::wstring& a, const std::wstring& b) {
    WIN32_FILE_ATTRIBUTE_DATA x, y;
    return ::GetFileAttributesExW(a.c_str(), GetFileExInfoStandard, &x) &&
           ::GetFileAttributesExW(b.c_str(), GetFileExInfoStandard, &y) &&
           x.nFileSizeLow == y.nFileSizeLow && x.nFileSizeHigh == y.nFileSizeHigh &&
           ::CompareFileTime(&x.ftLastWriteTime, &y.ftLastWriteTime) == 0;
}

// The copy takes the file's place again unless the file is unchanged; a copy that cannot
// stays where it is rather than be lost.
void PutBack(const std::wstring& copy, const std::wstring& path) {
    if (SameSizeAndTime(copy, path))
        ::DeleteFileW(copy.c_str());
    else
        ::MoveFileExW(copy.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// A failed archive step stops the command with the list as it was.
FileOutcome Stopping(Result r) {
    const bool ok = r.ok();
    return {std::move(r), ok};
}

} // namespace

// Every kind of entry is listed: hidden and system files, and folders whose names end in a
// picture extension.
Result FolderPlace::List(const std::wstring& upperMask, std::vector<std::wstring>& names) const {
    names.clear();
    WIN32_FIND_DATAW fd;
    UniqueFind find(::FindFirstFileW((folder_ + L"*.*").c_str(), &fd));
    if (!find) return Result::Ok();
    do {
        const std::wstring name = fd.cFileName;
        if (name != L"." && name != L".." && AcceptsExtension(name, upperMask))
            names.push_back(name);
    } while (::FindNextFileW(find.get(), &fd));
    return Result::Ok();
}

bool FolderPlace::Has(const std::wstring& name) const {
    return PathExists(folder_ + name);
}

FileOutcome FolderPlace::Copy(const TargetList& targets, const std::wstring& dest, const Backup&,
                              SlotSink& slots) {
    std::vector<std::wstring> paths;
    for (const NamedIndex& t : targets.items) {
        const std::wstring path = folder_ + t.name;
        if (!t.name.empty() && PathExists(path))
            paths.push_back(path);
        else
            slots.Vanished(t.index);
    }
    // The shell has shown its own message; the destination holds what was copied.
    if (RunShellOperation(owner_, CopyRequest(dest), paths)) return {};
    return {Result::Refused()};
}

FileOutcome FolderPlace::Move(const TargetList& targets, const std::wstring& dest, const Backup&,
                              SlotSink& slots) {
    if (RemoveThroughShell(targets, MoveRequest(dest), slots)) return {};
    return {Result::Refused()}; // the cells show what really moved
}

FileOutcome FolderPlace::Delete(const TargetList& targets, const Backup& backup, SlotSink& slots) {
    const ShellRequest request = DeletionRequest(backup.mode, false, folder_, backup.folder);
    if (RemoveThroughShell(targets, request, slots)) return {};
    return {Result::Refused().As(Say::Nothing)}; // the shell has said why
}

Result FolderPlace::RemoveThroughShell(const TargetList& targets, const ShellRequest& request,
                                       SlotSink& slots) const {
    std::vector<std::wstring> paths;
    std::vector<int> left;
    for (const NamedIndex& t : targets.items) {
        const std::wstring path = folder_ + t.name;
        if (t.name.empty() || !PathExists(path)) continue;
        paths.push_back(path);
        left.push_back(t.index);
    }
    Result r = RunShellOperation(owner_, request, paths);
    for (size_t i = 0; i < paths.size(); ++i)
        if (!PathExists(paths[i])) slots.Removed(left[i]);
    return r;
}

Result FolderPlace::Rename(const std::wstring& from, const std::wstring& to) {
    if (::MoveFileW((folder_ + from).c_str(), (folder_ + to).c_str())) return Result::Ok();
    return Result::Fail(L"MoveFile " + folder_ + from + L" to " + to, ::GetLastError())
        .As(Say::Nothing);
}

Result FolderPlace::Duplicate(const std::wstring& from, const std::wstring& to) {
    if (::CopyFileW((folder_ + from).c_str(), (folder_ + to).c_str(), TRUE)) return Result::Ok();
    return CannotCreate(from);
}

// The attributes come with the directory entry: no file is opened.
EntryStamp FolderPlace::Stamp(const std::wstring& name) const {
    EntryStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    stamp.found = ::GetFileAttributesExW((folder_ + name).c_str(), GetFileExInfoStandard, &data);
    if (!stamp.found) return stamp;
    stamp.date = PackedDosDate(data.ftLastWriteTime);
    stamp.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.written =
        static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                             data.ftLastWriteTime.dwLowDateTime);
    return stamp;
}

Result FolderPlace::PrepareWork(std::wstring& work) {
    work = folder_;
    return Result::Ok();
}

std::wstring ArchivePlace::Folder() const {
    return archive_.substr(0, archive_.find_last_of(L'\\') + 1);
}

Result ArchivePlace::List(const std::wstring& upperMask, std::vector<std::wstring>& names) const {
    names.clear();
    if (!FileExists(archive_)) return Result::ArchiveGone();
    OpenedArchive archive(owner_, "\"" + ToAnsi(archive_) + "\"");
    IndividualInfo info;
    for (bool more = UnlhaFindFirstSafe(archive.get(), "*.*", info); more;
         more = UnlhaFindNextSafe(archive.get(), info)) {
        info.szFileName[sizeof info.szFileName - 1] = '\0';
        const std::wstring name = FromAnsi(info.szFileName);
        if (!AcceptsExtension(name, upperMask)) continue;
        if (name.find_first_of(L"/\\") != std::wstring::npos) {
            names.clear();
            return Result::Error(L"ﾃﾞｨﾚｸﾄﾘ付きﾌｧｲﾙは扱えません．", L"Return Normal Mode.");
        }
        names.push_back(name);
    }
    return Result::Ok();
}

Result ArchivePlace::StillThere() const {
    return FileExists(archive_) ? Result::Ok() : Result::ArchiveGone();
}

bool ArchivePlace::Has(const std::wstring& name) const {
    return FindArchiveEntry(owner_, ToAnsi(archive_), ToAnsi(name));
}

EntryStamp ArchivePlace::Stamp(const std::wstring& name) const {
    EntryStamp stamp;
    stamp.found = true;
    IndividualInfo info;
    if (!FindArchiveEntry(owner_, ToAnsi(archive_), ToAnsi(name), &info)) return stamp;
    stamp.date = static_cast<int32_t>((static_cast<uint32_t>(info.wDate) << 16) | info.wTime);
    stamp.size = info.dwOriginalSize;
    stamp.written = stamp.date;
    return stamp;
}

Result ArchivePlace::PrepareWork(std::wstring& work) {
    work = work_;
    return PrepareWorkFolder(work_);
}

Result ArchivePlace::ExtractToWork(const TargetList& targets) {
    return Extract(targets, work_, Backup{});
}

// The files go in by copy and leave the work folder only after the check; the archive's own
// copy, beside it on the same volume, takes its place again when the check fails.
Result ArchivePlace::StoreBack(const std::vector<std::wstring>& names) {
    if (names.empty()) return Result::Ok();
    std::vector<NamedDigest> files;
    for (const std::wstring& name : names) {
        files.push_back({name, {}});
        if (!CarriedAsIs(name) || !ReadDigest(work_ + name, files.back().digest))
            return FilesKept();
    }
    const std::wstring before = CopyAside(archive_);
    if (before.empty()) return FilesKept();
    (void)Run(StoreCommand(archive_, work_, names)); // what counts is the check below
    if (!ArchiveHolds(owner_, archive_, files)) {
        PutBack(before, archive_);
        return FilesKept();
    }
    ::DeleteFileW(before.c_str());
    for (const std::wstring& name : names) ::DeleteFileW((work_ + name).c_str());
    return Result::Ok();
}

Result ArchivePlace::StoreAllBack() {
    std::vector<std::wstring> names;
    bool folderMade = false;
    WIN32_FIND_DATAW found;
    UniqueFind find(::FindFirstFileW((work_ + L"*").c_str(), &found));
    if (find) {
        do {
            const std::wstring name = found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(name);
            else if (name != L"." && name != L"..")
                folderMade = true;
        } while (::FindNextFileW(find.get(), &found));
    }
    Result r = StoreBack(names);
    return r && folderMade ? FilesKept() : r;
}

void ArchivePlace::EndWork() {
    ClearTempDir(work_);
}

Result ArchivePlace::Run(const std::wstring& commandLine) const {
    if (!FileExists(archive_)) return Result::ArchiveGone();
    Result r = RunArchiveCommand(owner_, ToAnsi(commandLine));
    if (!r && !FileExists(archive_)) return Result::ArchiveGone();
    return r;
}

Result ArchivePlace::Extract(const TargetList& targets, const std::wstring& folder,
                             const Backup& backup) const {
    if (!FileExists(archive_)) return Result::ArchiveGone();
    // The library replaces files of the same name without asking: they are kept first.
    const std::vector<std::wstring> names = ArchiveTargetNames(targets);
    std::vector<std::wstring> paths;
    for (const std::wstring& name : names) paths.push_back(folder + name);
    Result keptAside =
        PutAsideBeforeReplacing(owner_, backup, folder, paths, WithoutBackup::Replace);
    Result r = keptAside ? Run(ExtractCommand(archive_, folder, names)) : keptAside;
    return !r && !FileExists(archive_) ? Result::ArchiveGone() : r;
}

Result ArchivePlace::ExtractWhole(const TargetList& targets, const std::wstring& folder,
                                  const Backup& backup) const {
    const Result extracted = Extract(targets, folder, backup);
    if (!extracted && extracted.say() == Say::ArchiveGone) return extracted;
    if (extracted && ArchiveMatchesFiles(owner_, archive_, folder, ArchiveTargetNames(targets)))
        return Result::Ok();
    return FilesKept();
}

Result ArchivePlace::RemoveMembers(const TargetList& targets, SlotSink& slots) const {
    const Result r = Run(DeleteCommand(archive_, ArchiveTargetNames(targets)));
    if (!r) return r;
    for (const NamedIndex& t : targets.items)
        if (CarriedAsIs(t.name)) slots.Removed(t.index);
    return r;
}

Result ArchivePlace::Recycle(const TargetList& targets, const Backup& backup) const {
    Result r = PrepareWorkFolder(work_);
    if (!r) return r;
    r = ExtractWhole(targets, work_, backup);
    if (r) {
        std::vector<std::wstring> paths;
        for (const std::wstring& name : ArchiveTargetNames(targets)) paths.push_back(work_ + name);
        if (!RunShellOperation(owner_, DeletionRequest(1, true, work_, backup.folder), paths))
            r = FilesKept();
    }
    ClearTempDir(work_);
    return r;
}

FileOutcome ArchivePlace::Copy(const TargetList& targets, const std::wstring& dest,
                               const Backup& backup, SlotSink& slots) {
    slots.Stage(L"Now Copying Files");
    return Stopping(Extract(targets, dest, backup));
}

FileOutcome ArchivePlace::Move(const TargetList& targets, const std::wstring& dest,
                               const Backup& backup, SlotSink& slots) {
    slots.Stage(L"Now Moving Files");
    Result r = ExtractWhole(targets, dest, backup);
    return Stopping(r ? RemoveMembers(targets, slots) : r);
}

FileOutcome ArchivePlace::Delete(const TargetList& targets, const Backup& backup, SlotSink& slots) {
    if (backup.mode == 1) {
        Result r = Recycle(targets, backup);
        if (!r) return Stopping(r);
    }
    if (backup.mode == 2) {
        slots.Stage(L"Now Deleting Files");
        Result r = ExtractWhole(targets, backup.folder, backup);
        if (!r) return Stopping(r);
    }
    slots.Stage(L"Now Deleting Files");
    return Stopping(RemoveMembers(targets, slots));
}

Result ArchivePlace::Rename(const std::wstring& from, const std::wstring& to) {
    const Result clash = Result::Refused().As(Say::Nothing);
    if (!CarriedAsIs(from) || !CarriedAsIs(to) || Has(to)) return clash;
    return Run(RenameCommand(archive_, from, to));
}

// Through the work folder: the member comes out, takes the new name and goes back in; it
// counts as made only when the archive really holds it.
Result ArchivePlace::Duplicate(const std::wstring& from, const std::wstring& to) {
    Result r = PrepareWorkFolder(work_);
    if (!r) return r;
    r = CarriedAsIs(from) && CarriedAsIs(to) ? Run(ExtractCommand(archive_, work_, {from}))
                                             : CannotCreate(from);
    if (r) {
        if (::MoveFileW((work_ + from).c_str(), (work_ + to).c_str()))
            (void)Run(PackCommand(archive_, work_, {to})); // what counts is the check below
        if (!Has(to)) r = CannotCreate(from);
    }
    ClearTempDir(work_);
    return r;
}

} // namespace tovn
