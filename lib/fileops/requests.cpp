#include "fileops/requests.h"
#include "core/text.h"

namespace tovn {

ShellRequest CopyRequest(const std::wstring& copyDir) {
    return {ShellOp::Copy, copyDir, kShellAllowUndo};
}

ShellRequest MoveRequest(const std::wstring& copyDir) {
    return {ShellOp::Move, copyDir, kShellAllowUndo};
}

ShellRequest DeletionRequest(int backupMode, bool lhaMode, const std::wstring& folder,
                             const std::wstring& backupDir) {
    const unsigned quietUndo = kShellNoConfirmation | kShellAllowUndo;
    switch (backupMode) {
    case 1:
        return {ShellOp::Delete, L"", quietUndo};
    case 2:
        if (lhaMode || ToUpperAscii(folder) != ToUpperAscii(backupDir))
            return {ShellOp::Move, backupDir, quietUndo};
        return {ShellOp::Delete, L"", kShellNoConfirmation};
    default:
        return {ShellOp::Delete, L"", kShellNoConfirmation};
    }
}

std::wstring NulSeparatedList(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& p : paths) {
        list += p;
        list += L'\0';
    }
    list += L'\0';
    return list;
}

bool Quotable(const std::wstring& name) {
    for (wchar_t c : name)
        if (c == L'"' || c < L' ') return false;
    return !name.empty();
}

std::wstring Quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

namespace {
std::wstring WithNames(std::wstring line, const std::wstring& folder,
                       const std::vector<std::wstring>& names) {
    for (const std::wstring& n : names)
        if (Quotable(n)) line += L" " + Quoted(folder + n);
    return line;
}
} // namespace

std::wstring PackCommand(const std::wstring& archivePath, const std::wstring& sourceFolder,
                         const std::vector<std::wstring>& names) {
    return WithNames(L"a -n -+ " + Quoted(archivePath), sourceFolder, names);
}

std::wstring StoreCommand(const std::wstring& archivePath, const std::wstring& folder,
                          const std::vector<std::wstring>& names) {
    return WithNames(L"a -c -n " + Quoted(archivePath), folder, names);
}

std::wstring ExtractCommand(const std::wstring& archivePath, const std::wstring& destination,
                            const std::vector<std::wstring>& names) {
    return WithNames(L"e -y -n -+ " + Quoted(archivePath) + L" " + Quoted(destination), L"", names);
}

std::wstring DeleteCommand(const std::wstring& archivePath,
                           const std::vector<std::wstring>& names) {
    return WithNames(L"d -n -+ -y " + Quoted(archivePath), L"", names);
}

std::wstring RenameCommand(const std::wstring& archivePath, const std::wstring& oldName,
                           const std::wstring& newName) {
    return L"n -n " + Quoted(archivePath) + L" " + Quoted(oldName) + L" " +
           Quoted(L"-gr" + newName);
}

std::wstring PackArchivePath(const std::wstring& copyDir, const std::wstring& baseName) {
    return copyDir + baseName + L".LZH";
}

} // namespace tovn
