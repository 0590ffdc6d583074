#include "app/batch_file.h"
#include "app/dialogs.h"
#include "app/win_text.h"
#include "core/text.h"

namespace tovn {

namespace {

bool Spelled(const std::wstring& s) {
    std::string bytes;
    return ExactAnsi(s, bytes);
}

std::wstring ShortPath(const std::wstring& path) {
    const DWORD n = ::GetShortPathNameW(path.c_str(), nullptr, 0);
    if (n == 0) return std::wstring();
    std::wstring out(n, L'\0');
    const DWORD got = ::GetShortPathNameW(path.c_str(), &out[0], n);
    out.resize(got < n ? got : 0);
    return out;
}

const wchar_t kCaption[] = L"Batch Not Run";

} // namespace

NameForms PathForms(const std::wstring& path) {
    NameForms forms;
    if (Spelled(path)) forms.full = path;
    const std::wstring shortPath = ShortPath(path);
    if (shortPath != path && Spelled(shortPath)) forms.alternate = shortPath;
    return forms;
}

NameForms NameFormsIn(const std::wstring& folder, const std::wstring& name) {
    NameForms forms;
    if (Spelled(name)) forms.full = name;
    const std::wstring shortPath = ShortPath(folder + name);
    const std::wstring leaf = shortPath.substr(shortPath.find_last_of(L'\\') + 1);
    if (!shortPath.empty() && leaf != name && Spelled(leaf)) forms.alternate = leaf;
    return forms;
}

NameForms FileForms(const std::wstring& folder, const std::wstring& name) {
    NameForms forms;
    if (Spelled(folder + name)) forms.full = folder + name;
    const std::wstring shortFolder = ShortPath(folder);
    const std::wstring shortName = NameFormsIn(folder, name).alternate;
    const std::wstring alternate =
        (shortFolder.empty() ? folder : WithTrailingBackslash(shortFolder)) +
        (shortName.empty() ? name : shortName);
    if (alternate != folder + name && Spelled(alternate)) forms.alternate = alternate;
    return forms;
}

BatchWrite WriteBatchFile(const std::wstring& path, const std::vector<std::wstring>& lines) {
    if (!LinesFit(lines)) return BatchWrite::Refused;
    std::string text, line;
    for (const std::wstring& wide : lines) {
        if (!ExactAnsi(wide, line)) return BatchWrite::Refused;
        text += line + "\r\n";
    }
    return WriteFileBytes(path, text) ? BatchWrite::Written : BatchWrite::Unwritable;
}

std::optional<std::string> BatchCommandLine(const std::wstring& path) {
    const NameForms forms = PathForms(path);
    std::string bytes;
    if (!ExactAnsi(forms.full.empty() ? forms.alternate : forms.full, bytes) || bytes.empty())
        return std::nullopt;
    return "\"" + bytes + "\"";
}

void ReportBatchRefused(HWND owner, const std::wstring& what) {
    Warn(owner, what + L" の名前をバッチに正しく書けないため，実行しません．", kCaption);
}

void ReportBatchTooLong(HWND owner) {
    Warn(owner,
         L"バッチの行が " + std::to_wstring(kMaxBatchLine) + L" 文字を超えるため，実行しません．",
         kCaption);
}

} // namespace tovn
