#include "core/batch_word.h"
#include <algorithm>

namespace tovn {

namespace {

bool Safe(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') ||
           c > 0x7F || std::wstring_view(L"._-~\\:").find(c) != std::wstring_view::npos;
}

// Characters no spelling carries: a quote would end the quoting, control characters end
// or cut the line.
bool Unwritable(wchar_t c) {
    return c == L'"' || c < 0x20;
}

std::wstring DoublePercents(const std::wstring& word) {
    std::wstring out;
    for (wchar_t c : word) {
        if (c == L'%') out += L'%';
        out += c;
    }
    return out;
}

} // namespace

std::optional<std::wstring> CmdWord(const std::wstring& word, LineKind kind, bool insideQuotes) {
    if (word.empty() || std::any_of(word.begin(), word.end(), Unwritable)) return std::nullopt;
    if (kind == LineKind::Called && word.find_first_of(L"%^") != std::wstring::npos)
        return std::nullopt;
    const bool plain = std::all_of(word.begin(), word.end(), Safe);
    if (insideQuotes || plain) return DoublePercents(word);
    return L"\"" + DoublePercents(word) + L"\"";
}

std::optional<std::wstring> CmdWord(const NameForms& forms, LineKind kind, bool insideQuotes) {
    for (const std::wstring* form : {&forms.full, &forms.alternate})
        if (auto word = CmdWord(*form, kind, insideQuotes)) return word;
    return std::nullopt;
}

bool OpenQuote(const std::wstring& text) {
    return std::count(text.begin(), text.end(), L'"') % 2 != 0;
}

std::wstring BatchFolder(const std::wstring& folder) {
    if (folder.size() <= 3 || folder.back() != L'\\') return folder;
    return folder.substr(0, folder.size() - 1);
}

std::optional<std::vector<std::wstring>> FolderLines(const NameForms& folder) {
    const auto word = CmdWord(folder, LineKind::Plain, false);
    if (!word) return std::nullopt;
    const std::wstring& any = folder.full.empty() ? folder.alternate : folder.full;
    std::vector<std::wstring> lines{any.substr(0, 2)};
    // A drive alone stays the drive's current folder.
    if (any.size() > 2) lines.push_back(L"CD /D " + *word);
    lines.push_back(L"IF ERRORLEVEL 1 GOTO :EOF");
    return lines;
}

bool LinesFit(const std::vector<std::wstring>& lines) {
    return std::all_of(lines.begin(), lines.end(),
                       [](const std::wstring& line) { return line.size() <= kMaxBatchLine; });
}

} // namespace tovn
