// The macro file beside the program: one macro per line, in the ANSI code page, lines
// ended by CR LF. Lines past the 36th are kept so that they go back into the file as
// they came.
#pragma once
#include <string>
#include <vector>

namespace tovn {

constexpr int kMacroSlots = 36;

// The lines of the file's bytes (a line ends at CR, LF or CR LF), filled up with empty
// lines to at least kMacroSlots.
std::vector<std::string> ParseMacroFile(const std::string& bytes);
// Every entry followed by CR LF.
std::string MacroFileText(const std::vector<std::string>& macros);

} // namespace tovn
