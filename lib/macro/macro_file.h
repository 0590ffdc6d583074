// The macro file beside the program: one macro per line, in the ANSI code page, lines
// ended by CR LF. Lines past the 36th are kept so that they go back into the file as
// they came.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace tovn {

constexpr int kMacroSlots = 36;
// How much of the macro file is read: 36 macros as typed take a few kilobytes, so a longer
// file is not one this program wrote, and is read only as far as its slots go.
constexpr size_t kMacroFileLimit = size_t{1} << 20;

// The lines of the file's bytes (a line ends at CR, LF or CR LF), filled up with empty
// lines to at least kMacroSlots. When the bytes are only the start of a longer file (not
// whole), just the kMacroSlots slots are read from them, each from a line that ends there.
std::vector<std::string> ParseMacroFile(const std::string& bytes, bool whole = true);
// Every entry followed by CR LF.
std::string MacroFileText(const std::vector<std::string>& macros);

} // namespace tovn
