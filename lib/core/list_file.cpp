#include "core/list_file.h"

namespace tovn {

std::vector<std::string> ReadListFile(const std::string& bytes, size_t minimumLines) {
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
    if (lines.size() < minimumLines) lines.resize(minimumLines);
    return lines;
}

std::string ListFileText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

} // namespace tovn
