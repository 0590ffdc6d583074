// The program's list files (the macro table, the part-save entries): read whole as lines of
// ANSI bytes, lines ending in CR LF, CR or LF; a short file is filled up with empty lines, a
// long one keeps every line; written back whole with CR LF.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace tovn {

std::vector<std::string> ReadListFile(const std::string& bytes, size_t minimumLines);
std::string ListFileText(const std::vector<std::string>& lines);

} // namespace tovn
