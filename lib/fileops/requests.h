// What the file commands hand to the shell's file operation and to the archive library.
#pragma once
#include <string>
#include <vector>

namespace tovn {

// The shell's file-operation kinds and option flags, as the platform numbers them.
enum class ShellOp : unsigned { Move = 1, Copy = 2, Delete = 3 };
constexpr unsigned kShellNoConfirmation = 0x10;
constexpr unsigned kShellAllowUndo = 0x40;

struct ShellRequest {
    ShellOp op = ShellOp::Delete;
    std::wstring destination; // a folder ending in "\", or empty
    unsigned flags = 0;
};

ShellRequest CopyRequest(const std::wstring& copyDir);
// Move asks before replacing a file at the destination, so that no file there is lost.
ShellRequest MoveRequest(const std::wstring& copyDir);
// Delete by backup mode: 0 for good, 1 to the recycle bin, 2 into the backup folder, or for
// good when the pictures already lie in the backup folder itself.
ShellRequest DeletionRequest(int backupMode, bool lhaMode, const std::wstring& folder,
                             const std::wstring& backupDir);

// Paths each ended by a NUL, the whole list by one more.
std::wstring NulSeparatedList(const std::vector<std::wstring>& paths);

// Names in archive command lines are quoted; a name holding a quote or a control
// character cannot be quoted without changing the command, so it is left out.
bool Quotable(const std::wstring& name);
std::wstring Quoted(const std::wstring& s);

std::wstring PackCommand(const std::wstring& archivePath, const std::wstring& sourceFolder,
                         const std::vector<std::wstring>& names);
// Adds folder + each name, replacing members of the same names whatever their dates.
std::wstring StoreCommand(const std::wstring& archivePath, const std::wstring& folder,
                          const std::vector<std::wstring>& names);
std::wstring ExtractCommand(const std::wstring& archivePath, const std::wstring& destination,
                            const std::vector<std::wstring>& names);
std::wstring DeleteCommand(const std::wstring& archivePath, const std::vector<std::wstring>& names);
std::wstring RenameCommand(const std::wstring& archivePath, const std::wstring& oldName,
                           const std::wstring& newName);
std::wstring PackArchivePath(const std::wstring& copyDir, const std::wstring& baseName);

} // namespace tovn
