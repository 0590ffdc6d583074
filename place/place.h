// Where the browser's files live: a folder, or an LZH archive in a folder. Commands ask the
// place rather than branching on the mode themselves, so that what differs between folder
// and archive is written here once.
#pragma once
#include "app/result.h"
#include "core/browser_state.h"
#include "place/kept_copies.h"
#include <windows.h>
#include <string>
#include <vector>

namespace tovn {

// What a file operation tells the browser as it goes, so that the cells follow in order.
class SlotSink {
public:
    // The slot's file was gone before the operation: its cell shows empty at once.
    virtual void Vanished(int slot) = 0;
    // The slot's file left the place: the slot is emptied, shown when the operation ends.
    virtual void Removed(int slot) = 0;
    // The stage the waiting window names.
    virtual void Stage(const wchar_t* text) = 0;

protected:
    ~SlotSink() = default;
};

// How a copy, move or delete ended: the failure the command reports, and whether the
// command goes on to show the outcome. The shell may refuse part of a folder's operation
// after doing the rest, so the folder always goes on; an archive step that fails stops the
// command with the list as it was.
struct FileOutcome {
    Result result;
    bool goOn = true;
};

// What the directory (or the archive) tells of a file without opening it.
struct EntryStamp {
    bool found = false;
    int32_t date = -1; // packed DOS date, local time; -1: not read
    uint64_t size = 0;
    int64_t written = 0; // FILETIME ticks; an archive entry's DOS date
    bool Read() const { return found && date != -1; }
};

class Place {
public:
    virtual ~Place() = default;
    virtual bool IsArchive() const = 0;
    // The folder (ends in "\") or the archive file.
    virtual std::wstring Path() const = 0;
    // The folder of the files, or the folder the archive file lies in (ends in "\").
    virtual std::wstring Folder() const = 0;
    // Ok while the place can be read; an archive file that vanished is ArchiveGone.
    virtual Result StillThere() const = 0;
    // The names of the place's pictures (extensions in upperMask), in no order. The archive
    // gone is ArchiveGone; an archive holding a member inside a folder is refused with the
    // message the user reads (the list cannot show such members).
    virtual Result List(const std::wstring& upperMask, std::vector<std::wstring>& names) const = 0;
    virtual bool Has(const std::wstring& name) const = 0;
    // The targets copied into dest (ends in "\"); in an archive, files there that they
    // replace are first put aside as backup says.
    virtual FileOutcome Copy(const TargetList& targets, const std::wstring& dest,
                             const Backup& backup, SlotSink& slots) = 0;
    // Copy, and then the targets leave the place; nothing leaves an archive before its copy
    // is known whole.
    virtual FileOutcome Move(const TargetList& targets, const std::wstring& dest,
                             const Backup& backup, SlotSink& slots) = 0;
    // The targets deleted, a copy of each first kept as backup says.
    virtual FileOutcome Delete(const TargetList& targets, const Backup& backup,
                               SlotSink& slots) = 0;
    // Renames the file from to the name to, in the same place. A clash, or a name the place
    // cannot carry, fails saying nothing: the command tells of it. The archive gone is
    // ArchiveGone.
    virtual Result Rename(const std::wstring& from, const std::wstring& to) = 0;
    // A copy of from named to (which must be free), beside it. Fails as the command reports
    // it: the archive gone is ArchiveGone; a copy not made names from.
    virtual Result Duplicate(const std::wstring& from, const std::wstring& to) = 0;
    // The file's date and size as the listing gives them. An archive whose entry cannot be
    // read still says found: the decode finds out and says so.
    virtual EntryStamp Stamp(const std::wstring& name) const = 0;

    // A command that needs loose files (a macro, a conversion, an edited picture's save)
    // works in the place's work folder: the folder itself, or an archive's work folder,
    // emptied first; fails, with the message the user reads, when it cannot be.
    virtual Result PrepareWork(std::wstring& work) = 0;
    // Copies of the targets put in the work folder (a folder holds them already).
    virtual Result ExtractToWork(const TargetList& targets) = 0;
    // The named files of the work folder stored in the place (a folder holds them already).
    // An archive takes them in, replacing members of the same names, and they leave the
    // work folder only once it holds each with the same contents; on a failure the archive
    // is as it was before and the files stay in the work folder.
    virtual Result StoreBack(const std::vector<std::wstring>& names) = 0;
    // Every file of the work folder stored so; a folder made there is not taken, and fails
    // the store once the files are in.
    virtual Result StoreAllBack() = 0;
    // The work folder emptied (nothing for a folder).
    virtual void EndWork() = 0;
};

// The folder folder (ends in "\"), through the shell; owner owns the shell's windows.
class FolderPlace final : public Place {
public:
    explicit FolderPlace(std::wstring folder, HWND owner = nullptr)
        : folder_(std::move(folder)), owner_(owner) {}
    bool IsArchive() const override { return false; }
    std::wstring Path() const override { return folder_; }
    std::wstring Folder() const override { return folder_; }
    Result StillThere() const override { return Result::Ok(); }
    Result List(const std::wstring& upperMask, std::vector<std::wstring>& names) const override;
    bool Has(const std::wstring& name) const override;
    FileOutcome Copy(const TargetList& targets, const std::wstring& dest, const Backup& backup,
                     SlotSink& slots) override;
    FileOutcome Move(const TargetList& targets, const std::wstring& dest, const Backup& backup,
                     SlotSink& slots) override;
    FileOutcome Delete(const TargetList& targets, const Backup& backup, SlotSink& slots) override;
    Result Rename(const std::wstring& from, const std::wstring& to) override;
    Result Duplicate(const std::wstring& from, const std::wstring& to) override;
    EntryStamp Stamp(const std::wstring& name) const override;
    Result PrepareWork(std::wstring& work) override;
    Result ExtractToWork(const TargetList&) override { return Result::Ok(); }
    Result StoreBack(const std::vector<std::wstring>&) override { return Result::Ok(); }
    Result StoreAllBack() override { return Result::Ok(); }
    void EndWork() override {}

private:
    // One shell request for the targets that exist (vanished ones are skipped); afterwards
    // exactly the slots of the files that left are removed, so a refused or cancelled
    // request leaves the cells as they were.
    Result RemoveThroughShell(const TargetList& targets, const ShellRequest& request,
                              SlotSink& slots) const;

    std::wstring folder_;
    HWND owner_;
};

// The archive archivePath, through the archive library; owner owns the library's windows.
// workFolder (ends in "\") is emptied and used by the steps that need the files loose.
class ArchivePlace final : public Place {
public:
    ArchivePlace(HWND owner, std::wstring archivePath, std::wstring workFolder)
        : owner_(owner), archive_(std::move(archivePath)), work_(std::move(workFolder)) {}
    bool IsArchive() const override { return true; }
    std::wstring Path() const override { return archive_; }
    std::wstring Folder() const override;
    Result StillThere() const override;
    Result List(const std::wstring& upperMask, std::vector<std::wstring>& names) const override;
    bool Has(const std::wstring& name) const override;
    FileOutcome Copy(const TargetList& targets, const std::wstring& dest, const Backup& backup,
                     SlotSink& slots) override;
    FileOutcome Move(const TargetList& targets, const std::wstring& dest, const Backup& backup,
                     SlotSink& slots) override;
    FileOutcome Delete(const TargetList& targets, const Backup& backup, SlotSink& slots) override;
    Result Rename(const std::wstring& from, const std::wstring& to) override;
    Result Duplicate(const std::wstring& from, const std::wstring& to) override;
    EntryStamp Stamp(const std::wstring& name) const override;
    Result PrepareWork(std::wstring& work) override;
    Result ExtractToWork(const TargetList& targets) override;
    Result StoreBack(const std::vector<std::wstring>& names) override;
    Result StoreAllBack() override;
    void EndWork() override;

    // The targets unpacked into folder (ends in "\"), files there they replace first put
    // aside as backup says. The archive gone is ArchiveGone.
    Result Extract(const TargetList& targets, const std::wstring& folder,
                   const Backup& backup) const;
    // The targets removed from the archive and their slots with them.
    Result RemoveMembers(const TargetList& targets, SlotSink& slots) const;

private:
    // Extract, then the copies checked against the members: nothing may be removed unless
    // this holds.
    Result ExtractWhole(const TargetList& targets, const std::wstring& folder,
                        const Backup& backup) const;
    // The recycle-bin backup: the members' extracted copies go to the bin.
    Result Recycle(const TargetList& targets, const Backup& backup) const;
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
