#include "macro/macro_file.h"
#include "core/list_file.h"

namespace tovn {

std::vector<std::string> ParseMacroFile(const std::string& bytes, bool whole) {
    if (whole) return ReadListFile(bytes, kMacroSlots);
    const size_t end = bytes.find_last_of("\r\n");
    std::vector<std::string> lines = ReadListFile(
        end == std::string::npos ? std::string() : bytes.substr(0, end + 1), kMacroSlots);
    lines.resize(kMacroSlots);
    return lines;
}

std::string MacroFileText(const std::vector<std::string>& macros) {
    return ListFileText(macros);
}

} // namespace tovn
