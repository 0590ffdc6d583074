// Where the browser's files live: a folder, or an LZH archive in a folder. Commands ask the
// place rather than branching on the mode themselves, so that what differs between folder
// and archive is written here once.
#pragma once
#include "app/result.h"
#include <windows.h>
#include <string>

namespace tovn {

class Place {
public:
    virtual ~Place() = default;
    virtual bool IsArchive() const = 0;
    // The folder (ends in "\") or the archive file.
    virtual std::wstring Path() const = 0;
    // Ok while the place can be read; an archive file that vanished is ArchiveGone.
    virtual Result StillThere() const = 0;
    virtual bool Has(const std::wstring& name) const = 0;
    // Renames the file from to the name to, in the same place. A clash, or a name the place
    // cannot carry, fails saying nothing: the command tells of it. The archive gone is
    // ArchiveGone.
    virtual Result Rename(const std::wstring& from, const std::wstring& to) = 0;
    // A copy of from named to (which must be free), beside it. Fails as the command reports
    // it: the archive gone is ArchiveGone; a copy not made names from.
    virtual Result Duplicate(const std::wstring& from, const std::wstring& to) = 0;
};

// The folder folder (ends in "\").
class FolderPlace final : public Place {
public:
    explicit FolderPlace(std::wstring folder) : folder_(std::move(folder)) {}
    bool IsArchive() const override { return false; }
    std::wstring Path() const override { return folder_; }
    Result StillThere() const override { return Result::Ok(); }
    bool Has(const std::wstring& name) const override;
    Result Rename(const std::wstring& from, const std::wstring& to) override;
    Result Duplicate(const std::wstring& from, const std::wstring& to) override;

private:
    std::wstring folder_;
};

// The archive archivePath, through the archive library; owner owns the library's windows.
// workFolder (ends in "\") is emptied and used by the steps that need the files loose.
class ArchivePlace final : public Place {
public:
    ArchivePlace(HWND owner, std::wstring archivePath, std::wstring workFolder)
        : owner_(owner), archive_(std::move(archivePath)), work_(std::move(workFolder)) {}
    bool IsArchive() const override { return true; }
    std::wstring Path() const override { return archive_; }
    Result StillThere() const override;
    bool Has(const std::wstring& name) const override;
    Result Rename(const std::wstring& from, const std::wstring& to) override;
    Result Duplicate(const std::wstring& from, const std::wstring& to) override;

private:
    // One command line of the library; a failure with the archive gone is ArchiveGone.
    Result Run(const std::wstring& commandLine) const;

    HWND owner_;
    std::wstring archive_;
    std::wstring work_;
};

// A name the archive library sees as it is: quotable, and unchanged by the trip through the
// ANSI code page (a character without an ANSI form would turn into a wildcard).
bool CarriedAsIs(const std::wstring& name);

// The work folder belongs to one operation at a time: it is emptied of whatever an earlier
// one left (subfolders included), then made with its parents. Fails, with the message the
// user reads, when it cannot be emptied or made; the operation must not start then.
Result PrepareWorkFolder(const std::wstring& folder);

// The failure a command reports when a file it should have made could not be: name is the
// file it was made from.
Result CannotCreate(const std::wstring& name);

} // namespace tovn
