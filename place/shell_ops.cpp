#include "place/shell_ops.h"
#include "win/handles.h"
#include "app/win_text.h"
#include "core/text.h"
#include "fileops/crc16.h"
#include <shellapi.h>

namespace tovn {

namespace {

// Destinations of the request: the folder itself, or for a move one full path per file,
// since a shell move of several files into one named folder is cancelled (as Wine's is).
std::vector<std::wstring> Destinations(const ShellRequest& request,
                                       const std::vector<std::wstring>& paths) {
    if (request.op != ShellOp::Move) return {request.destination};
    std::vector<std::wstring> targets;
    for (const std::wstring& p : paths)
        targets.push_back(WithTrailingBackslash(request.destination) +
                          p.substr(p.find_last_of(L'\\') + 1));
    return targets;
}

} // namespace

Result RunShellOperation(HWND owner, const ShellRequest& request,
                         const std::vector<std::wstring>& paths) {
    if (paths.empty()) return Result::Ok();
    if (request.op != ShellOp::Delete && !MakeFolderWithParents(request.destination))
        return Result::Fail(L"CreateDirectory " + request.destination, ::GetLastError());
    std::wstring from = NulSeparatedList(paths);
    std::wstring to = NulSeparatedList(Destinations(request, paths));
    SHFILEOPSTRUCTW op = {};
    op.hwnd = owner;
    op.wFunc = static_cast<UINT>(request.op);
    op.pFrom = from.c_str();
    op.pTo = request.op == ShellOp::Delete ? nullptr : to.c_str();
    op.fFlags = static_cast<FILEOP_FLAGS>(request.flags);
    if (request.op == ShellOp::Move) op.fFlags |= FOF_MULTIDESTFILES;
    int answer = ::SHFileOperationW(&op);
    if (answer != 0)
        return Result::Fail(L"SHFileOperation " + from.substr(0, from.find(L'\0')), answer);
    if (op.fAnyOperationsAborted) return Result::Fail(L"SHFileOperation aborted", ERROR_CANCELLED);
    return Result::Ok();
}

bool MakeFolderWithParents(const std::wstring& folder) {
    wchar_t full[MAX_PATH * 4];
    DWORD n = ::GetFullPathNameW(folder.c_str(), MAX_PATH * 4, full, nullptr);
    if (n == 0 || n >= MAX_PATH * 4) return false;
    std::wstring path(full, n);
    // Each prefix ending before a separator is a parent; the drive or share root is skipped
    // because it exists or cannot be made.
    for (size_t i = path.find(L'\\', 3); i != std::wstring::npos; i = path.find(L'\\', i + 1))
        if (!FolderExists(path.substr(0, i)))
            ::CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
    if (!FolderExists(path)) ::CreateDirectoryW(path.c_str(), nullptr);
    return FolderExists(path);
}

bool ReadDigest(const std::wstring& path, FileDigest& digest) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    digest = FileDigest{};
    static thread_local uint8_t buffer[1 << 16];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        digest.crc = EntryCrc16(buffer, got, digest.crc);
        digest.size += got;
    }
    return true;
}

} // namespace tovn
