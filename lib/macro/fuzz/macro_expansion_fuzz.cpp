#include "cmd_model.h"
#include "macro/expansion.h"
#include <algorithm>
#include <string>

// Every name a macro line carries reaches the called program exactly as both interpreters
// read the line, or it is left out; the folder reaches its change line whole; a line too
// long for the interpreter refuses the batch.
namespace {

using namespace tovn;

const wchar_t kAlphabet[] = L"ab. %^&|<>()!;,='`+-~\u65e5\u00e9$PM\\";
const wchar_t* const kMacros[] = {L"REC $M", L"REC \"$M\" X", L"REC $T",        L"REC $A",
                                  L"REC $B", L"REC $P $M",    L"REC \"$P\" $m", L"REC $P\\x"};

struct Input {
    const uint8_t* data;
    size_t size;
    uint8_t Next() { return size ? (--size, *data++) : 0; }
    std::wstring Name() {
        std::wstring name;
        for (size_t n = Next() % 12 + 1; n > 0; --n)
            name += kAlphabet[Next() % (sizeof kAlphabet / sizeof(wchar_t) - 1)];
        return name;
    }
};

void Expect(bool ok) {
    if (!ok) __builtin_trap();
}

// The line read by both interpreters gives want after the command word.
void Arrives(const std::wstring& line, const std::vector<std::wstring>& want) {
    for (auto how : {model::Interpreter::Windows, model::Interpreter::Wine}) {
        auto args = model::Arguments(line, how);
        Expect(args && args->size() == want.size() + 1);
        for (size_t i = 0; i < want.size(); ++i) Expect((*args)[i + 1] == want[i]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    const std::wstring macro = kMacros[in.Next() % (sizeof kMacros / sizeof *kMacros)];
    const std::wstring folder = L"C:\\" + in.Name();
    std::vector<NamedIndex> targets;
    for (int i = in.Next() % 5; i > 0; --i)
        targets.push_back({in.Name(), static_cast<int>(targets.size())});
    if (in.Next() == 0xFF) // now and then a list whose "$T" line is too long
        targets.resize(700, {L"LONGPICTURENAME.BMP", 0});
    const MacroPlace place{folder + L"\\",
                           {folder, L""},
                           [](const std::wstring&) { return true; },
                           [](const std::wstring& n) {
                               return NameForms{n, L""};
                           }};
    const MacroBatch b = ExpandMacro(macro, place, targets);
    if (b.refusal == BatchRefusal::Folder) {
        Expect(!CmdWord(folder, LineKind::Plain, false) || macro.find(L"$P") != std::wstring::npos);
        return 0;
    }
    bool tooLong = false;
    for (const std::wstring& line : b.lines) tooLong = tooLong || line.size() > kMaxBatchLine;
    Expect(tooLong == (b.refusal == BatchRefusal::TooLong));
    if (tooLong) return 0;
    Arrives(b.lines[1], {L"/D", folder});

    const bool base = macro.find(L"$m") != std::wstring::npos;
    const bool withFolder = macro.find(L"$P $M") != std::wstring::npos;
    std::vector<std::wstring> names;
    for (const NamedIndex& t : targets)
        if (std::find(b.leftOut.begin(), b.leftOut.end(), t.name) == b.leftOut.end())
            names.push_back(base ? BaseName(t.name) : t.name);
    if (macro == L"REC $M" || withFolder || base) {
        Expect(b.lines.size() == 3 + names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            std::vector<std::wstring> want{names[i]};
            if (withFolder) want.insert(want.begin(), folder);
            if (base) want.insert(want.begin(), folder);
            Arrives(b.lines[3 + i], want);
        }
    } else if (macro == L"REC \"$M\" X") {
        Expect(b.lines.size() == 3 + names.size());
        for (size_t i = 0; i < names.size(); ++i) Arrives(b.lines[3 + i], {names[i], L"X"});
    } else if (macro == L"REC $T") {
        Arrives(b.lines.back(), names);
    } else if (macro == L"REC $P\\x") {
        Arrives(b.lines.back(), {folder + L"\\x"});
    }
    return 0;
}
