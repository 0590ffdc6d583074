#include "macro/expansion.h"

namespace tovn {

namespace {

// In this order of priority, whatever their position in the macro.
constexpr const wchar_t* kFileVariables[] = {L"$A", L"$a", L"$M", L"$m",
                                             L"$T", L"$t", L"$B", L"$b"};

// Writes the "@CALL " lines of one file variable.
class Expander {
public:
    Expander(MacroBatch& batch, const std::vector<NamedIndex>& targets, const FileTest& exists,
             bool baseNames, std::wstring prefix, std::wstring suffix)
        : batch_(batch), targets_(targets), exists_(exists), baseNames_(baseNames),
          prefix_(std::move(prefix)), suffix_(std::move(suffix)) {}

    void Run(wchar_t variable) {
        switch (variable) {
        case L'M':
            for (int i = 0; i < Count(); ++i)
                if (Present(i)) Line(Word(i));
            break;
        case L'T': {
            std::wstring all;
            for (int i = 0; i < Count(); ++i)
                if (Present(i)) all += Word(i) + L" ";
            Line(all);
            break;
        }
        case L'A': // the first target is taken as it is
            for (int i = 1; i < Count(); ++i)
                if (Present(i)) Line(Word(0) + L" " + Word(i));
            break;
        case L'B': // an odd last target has no partner and is left out
            for (int k = 0; k < Count() / 2; ++k)
                if (Present(2 * k) && Present(2 * k + 1))
                    Line(Word(2 * k) + L" " + Word(2 * k + 1));
            break;
        }
    }

private:
    int Count() const { return static_cast<int>(targets_.size()); }
    bool Present(int i) {
        if (exists_(targets_[i].name)) return true;
        batch_.missingSlots.push_back(targets_[i].index);
        return false;
    }
    std::wstring Word(int i) const {
        const std::wstring& name = targets_[i].name;
        return BatchName(baseNames_ ? BaseName(name) : name);
    }
    void Line(const std::wstring& middle) {
        batch_.lines.push_back(L"@CALL " + prefix_ + middle + suffix_);
    }

    MacroBatch& batch_;
    const std::vector<NamedIndex>& targets_;
    const FileTest& exists_;
    bool baseNames_;
    std::wstring prefix_, suffix_;
};

} // namespace

std::wstring SubstituteFolder(const std::wstring& macro, const std::wstring& workDir) {
    size_t at = macro.find(L"$P");
    if (at == std::wstring::npos) return macro;
    std::wstring folder = workDir;
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return macro.substr(0, at) + folder + macro.substr(at + 2);
}

std::wstring BaseName(const std::wstring& name) {
    return name.substr(0, name.find(L'.'));
}

const wchar_t* BatchFileName(BatchKind kind) {
    return kind == BatchKind::Temp2 ? L"TEMP2.BAT" : L"TEMP.BAT";
}

std::wstring BatchText(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const std::wstring& line : lines) text += line + L"\r\n";
    return text;
}

MacroBatch ExpandMacro(const std::wstring& macro, const std::wstring& workDir,
                       const std::vector<NamedIndex>& targets, const FileTest& exists) {
    MacroBatch batch;
    std::wstring text = SubstituteFolder(macro, workDir);
    if (!text.empty() && text[0] == L'@') {
        batch.kind = BatchKind::Temp2;
        text.erase(0, 1);
    }
    batch.macroText = text;
    batch.lines.push_back(workDir.substr(0, 2));
    if (workDir.size() > 2) batch.lines.push_back(L"CD " + BatchName(workDir.substr(2), false));
    for (const wchar_t* variable : kFileVariables) {
        size_t at = text.find(variable);
        if (at == std::wstring::npos) continue;
        const wchar_t letter = variable[1];
        const bool baseNames = letter >= L'a';
        Expander(batch, targets, exists, baseNames, text.substr(0, at), text.substr(at + 2))
            .Run(baseNames ? static_cast<wchar_t>(letter - L'a' + L'A') : letter);
        return batch;
    }
    if (text.find(L' ') == std::wstring::npos)
        batch.startDirectly = true;
    else
        batch.lines.push_back(L"@CALL " + text);
    return batch;
}

} // namespace tovn
