#include "place/place.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "fileops/requests.h"
#include "place/shell_ops.h"

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

bool FolderPlace::Has(const std::wstring& name) const {
    return PathExists(folder_ + name);
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

Result ArchivePlace::StillThere() const {
    return FileExists(archive_) ? Result::Ok() : Result::ArchiveGone();
}

bool ArchivePlace::Has(const std::wstring& name) const {
    return FindArchiveEntry(owner_, ToAnsi(archive_), ToAnsi(name));
}

Result ArchivePlace::Run(const std::wstring& commandLine) const {
    if (!FileExists(archive_)) return Result::ArchiveGone();
    Result r = RunArchiveCommand(owner_, ToAnsi(commandLine));
    if (!r && !FileExists(archive_)) return Result::ArchiveGone();
    return r;
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
