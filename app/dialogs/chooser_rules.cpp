#include "app/dialogs/chooser_rules.h"
#include <cwctype>

namespace tovn {
namespace {

const PurposeRules kRules[] = {
    {ChooserPurpose::Lha, L"圧縮ファイルオープン", true, false, true, true, true},
    {ChooserPurpose::Pack, L"圧縮ファイルディレクトリ", true, false, false, false, true},
    {ChooserPurpose::Dire, L"ﾃﾞｨﾚｸﾄﾘｰ変更", false, false, false, true, true},
    {ChooserPurpose::Copy, L"複写先　選択", false, true, false, true, true},
    {ChooserPurpose::Move, L"移動先　選択", false, true, false, true, true},
    {ChooserPurpose::Kazu, L"縮小画面　表示数", false, false, false, true, false},
};
const wchar_t* const kWords[] = {L"LHA", L"Pack", L"Dire", L"Copy", L"Move", L"Kazu"};

std::wstring FullWidth(int n) {
    std::wstring s;
    if (n >= 10) s += static_cast<wchar_t>(L'０' + n / 10 % 10);
    s += static_cast<wchar_t>(L'０' + n % 10);
    return s;
}

// One wildcard pattern against a whole name; "*" backtracks to its last position only,
// which keeps the match linear in practice and never recursive.
bool MatchOne(const std::wstring& name, const std::wstring& pattern) {
    size_t n = 0, p = 0, starP = std::wstring::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == L'?' || std::towupper(pattern[p]) == std::towupper(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::wstring::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// Length of the root of a path: "X:\" (3), "\\server\share\" or 0 when there is none.
size_t RootLength(const std::wstring& s) {
    if (s.size() >= 2 && s[1] == L':') return s.size() >= 3 && IsSeparator(s[2]) ? 3 : 2;
    if (s.size() >= 2 && IsSeparator(s[0]) && IsSeparator(s[1])) {
        size_t server = s.find_first_of(L"\\/", 2);
        if (server == std::wstring::npos) return s.size();
        size_t share = s.find_first_of(L"\\/", server + 1);
        return share == std::wstring::npos ? s.size() : share + 1;
    }
    return 0;
}

} // namespace

const PurposeRules& RulesFor(const std::wstring& word) {
    for (size_t i = 0; i < std::size(kWords); ++i) {
        if (word == kWords[i]) return kRules[i];
    }
    return kRules[2];
}

std::wstring CountText(int n) {
    return (n < 10 ? L"　" : L"") + FullWidth(n) + L"　×　" + FullWidth(n);
}

bool MatchesMask(const std::wstring& name, const std::wstring& mask) {
    size_t start = 0;
    while (start <= mask.size()) {
        size_t end = mask.find(L';', start);
        if (end == std::wstring::npos) end = mask.size();
        if (end > start && MatchOne(name, mask.substr(start, end - start))) return true;
        start = end + 1;
    }
    return false;
}

std::wstring FolderAnswer(const std::wstring& folder) {
    std::wstring s = folder;
    const size_t root = RootLength(s);
    while (s.size() > root && IsSeparator(s.back())) s.pop_back();
    if (s.size() == 2 && s[1] == L':') s += L'\\';
    return s;
}

std::vector<std::wstring> PathLevels(const std::wstring& folder) {
    const std::wstring s = FolderAnswer(folder);
    const size_t root = RootLength(s);
    std::vector<std::wstring> levels;
    if (root > 0) levels.push_back(s.substr(0, root));
    for (size_t i = root; i < s.size(); ++i) {
        if (IsSeparator(s[i]) && i > root) levels.push_back(s.substr(0, i));
    }
    if (s.size() > root) levels.push_back(s);
    return levels;
}

std::wstring FileNamePart(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\:");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || IsSeparator(folder.back())) return folder + name;
    return folder + L'\\' + name;
}

} // namespace tovn
