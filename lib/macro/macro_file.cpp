#include "macro/macro_file.h"
#include "core/list_file.h"

namespace tovn {

std::vector<std::string> ParseMacroFile(const std::string& bytes) {
    return ReadListFile(bytes, kMacroSlots);
}

std::string MacroFileText(const std::vector<std::string>& macros) {
    return ListFileText(macros);
}

} // namespace tovn
