#include "macro/expansion.h"
#include "macro/macro_file.h"
#include <string>

// Reading what was written gives the same list; any macro text expands without fault.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> macros = tovn::ParseMacroFile(bytes);
    if (macros.size() < tovn::kMacroSlots) __builtin_trap();
    if (tovn::ParseMacroFile(tovn::MacroFileText(macros)) != macros) __builtin_trap();

    std::wstring macro(macros[0].begin(), macros[0].end());
    std::vector<tovn::NamedIndex> targets;
    for (size_t i = 1; i < 6; ++i)
        targets.push_back({std::wstring(macros[i].begin(), macros[i].end()), static_cast<int>(i)});
    std::wstring folder(macros[6].begin(), macros[6].end());
    const tovn::MacroPlace place{folder,
                                 {tovn::BatchFolder(folder), L""},
                                 [](const std::wstring& n) { return n.size() % 2 == 0; },
                                 [](const std::wstring& n) {
                                     return tovn::NameForms{n, L""};
                                 }};
    tovn::MacroBatch b = tovn::ExpandMacro(macro, place, targets);
    if (b.lines.empty() && b.refusal == tovn::BatchRefusal::None && !folder.empty())
        __builtin_trap();
    return 0;
}
