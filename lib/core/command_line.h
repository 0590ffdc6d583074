// The start folder and start file named on the command line.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace tovn {

struct StartTarget {
    std::wstring folder; // ends in "\"; empty when no argument was given
    std::wstring file;   // bare name, empty when a folder was named
};

// Joins the arguments with single blanks. A text naming an existing file gives its folder
// and name; otherwise it is a folder: trailing dots removed, "\" appended.
StartTarget ParseCommandLine(const std::vector<std::wstring>& args,
                             const std::function<bool(const std::wstring&)>& fileExists);

} // namespace tovn
