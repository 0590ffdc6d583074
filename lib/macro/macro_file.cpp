#include "macro/macro_file.h"

namespace tovn {

std::vector<std::string> ParseMacroFile(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    if (lines.size() < kMacroSlots) lines.resize(kMacroSlots);
    return lines;
}

std::string MacroFileText(const std::vector<std::string>& macros) {
    std::string text;
    for (const std::string& m : macros) text += m + "\r\n";
    return text;
}

} // namespace tovn
