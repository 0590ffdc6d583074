#include "macro/expansion.h"
#include <algorithm>

namespace tovn {

namespace {

// In this order of priority, whatever their position in the macro.
constexpr const wchar_t* kFileVariables[] = {L"$A", L"$a", L"$M", L"$m",
                                             L"$T", L"$t", L"$B", L"$b"};

const wchar_t* FirstFileVariable(const std::wstring& text) {
    for (const wchar_t* variable : kFileVariables)
        if (text.find(variable) != std::wstring::npos) return variable;
    return nullptr;
}

// Writes the "@CALL " lines of one file variable. Each name is spelled for the place the
// macro puts it, inside or outside the author's quotes.
class Expander {
public:
    Expander(MacroBatch& batch, const std::vector<NamedIndex>& targets, const MacroPlace& place,
             bool baseNames, std::wstring prefix, std::wstring suffix)
        : batch_(batch), targets_(targets), place_(place), baseNames_(baseNames),
          prefix_(L"@CALL " + std::move(prefix)), suffix_(std::move(suffix)),
          quoted_(OpenQuote(prefix_)) {}

    void Run(wchar_t variable) {
        switch (variable) {
        case L'M':
            for (int i = 0; i < Count(); ++i)
                if (Present(i)) Line({i});
            break;
        case L'T': {
            std::vector<int> present;
            for (int i = 0; i < Count(); ++i)
                if (Present(i)) present.push_back(i);
            Line(present, L" ");
            break;
        }
        case L'A': // the first target is taken as it is
            for (int i = 1; i < Count(); ++i)
                if (Present(i)) Line({0, i});
            break;
        case L'B': // an odd last target has no partner and is left out
            for (int k = 0; k < Count() / 2; ++k)
                if (Present(2 * k) && Present(2 * k + 1)) Line({2 * k, 2 * k + 1});
            break;
        }
    }

private:
    int Count() const { return static_cast<int>(targets_.size()); }
    bool Present(int i) {
        if (place_.exists(targets_[i].name)) return true;
        batch_.missingSlots.push_back(targets_[i].index);
        return false;
    }
    std::optional<std::wstring> Word(int i) {
        NameForms forms = place_.spell(targets_[i].name);
        // A short name's base is no name of the file: only the full name gives one.
        if (baseNames_) forms = {forms.full.empty() ? L"" : BaseName(forms.full), L""};
        auto word = CmdWord(forms, LineKind::Called, quoted_);
        if (!word) LeaveOut(targets_[i].name);
        return word;
    }
    void LeaveOut(const std::wstring& name) {
        auto& out = batch_.leftOut;
        if (std::find(out.begin(), out.end(), name) == out.end()) out.push_back(name);
    }
    // The words of slots joined by blanks (each followed by trailer); "$T" leaves out the
    // names it cannot write, the other variables the whole line.
    void Line(const std::vector<int>& slots, const wchar_t* trailer = L"") {
        std::wstring middle;
        bool whole = true;
        for (size_t k = 0; k < slots.size(); ++k) {
            auto word = Word(slots[k]);
            whole = whole && word;
            if (word) middle += (k && !*trailer ? L" " : L"") + *word + trailer;
        }
        if (whole || *trailer) batch_.lines.push_back(prefix_ + middle + suffix_);
    }

    MacroBatch& batch_;
    const std::vector<NamedIndex>& targets_;
    const MacroPlace& place_;
    bool baseNames_;
    std::wstring prefix_, suffix_;
    bool quoted_;
};

// The macro with its first "$P" spelled for the interpreter, and the same text with the
// folder blanked out, where the file variable is looked for: a folder named like one is no
// variable. Nothing when the folder cannot be written there.
struct SpelledMacro {
    std::wstring text, variables;
};
std::optional<SpelledMacro> SpellFolder(const std::wstring& macro, const NameForms& folder) {
    const size_t at = macro.find(L"$P");
    if (at == std::wstring::npos) return SpelledMacro{macro, macro};
    auto word = CmdWord(folder, LineKind::Called, OpenQuote(macro.substr(0, at)));
    if (!word) return std::nullopt;
    return SpelledMacro{SubstituteFolder(macro, *word),
                        SubstituteFolder(macro, std::wstring(word->size(), L' '))};
}

} // namespace

std::wstring SubstituteFolder(const std::wstring& macro, const std::wstring& folder) {
    size_t at = macro.find(L"$P");
    if (at == std::wstring::npos) return macro;
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

MacroBatch ExpandMacro(const std::wstring& macro, const MacroPlace& place,
                       const std::vector<NamedIndex>& targets) {
    MacroBatch batch;
    // Started directly, the text reaches the program without the interpreter: the folder
    // stands in it as it is.
    std::wstring text = SubstituteFolder(macro, BatchFolder(place.workDir));
    std::optional<SpelledMacro> spelled = SpellFolder(macro, place.folder);
    auto folderLines = FolderLines(place.folder);
    if (!spelled || !folderLines) {
        batch.refusal = BatchRefusal::Folder;
        return batch;
    }
    if (!text.empty() && text[0] == L'@') {
        batch.kind = BatchKind::Temp2;
        text.erase(0, 1);
        spelled->text.erase(0, 1);
        spelled->variables.erase(0, 1);
    }
    batch.macroText = text;
    batch.lines = *folderLines;
    const std::wstring& line = spelled->text;
    if (const wchar_t* variable = FirstFileVariable(spelled->variables)) {
        const size_t at = spelled->variables.find(variable);
        const wchar_t letter = variable[1];
        const bool baseNames = letter >= L'a';
        Expander(batch, targets, place, baseNames, line.substr(0, at), line.substr(at + 2))
            .Run(baseNames ? static_cast<wchar_t>(letter - L'a' + L'A') : letter);
    } else if (text.find(L' ') == std::wstring::npos) {
        batch.startDirectly = true;
    } else {
        batch.lines.push_back(L"@CALL " + line);
    }
    if (!LinesFit(batch.lines)) batch.refusal = BatchRefusal::TooLong;
    return batch;
}

} // namespace tovn
