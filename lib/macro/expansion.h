// A macro turned into the lines of the batch file that runs it: the "$" variables stand
// for the working folder and for the target files, one file variable per macro.
#pragma once
#include "core/text.h" // BatchName
#include "core/browser_state.h"
#include <functional>
#include <string>
#include <vector>

namespace tovn {

// "@" at the start of a macro chooses the second batch file.
enum class BatchKind { Temp, Temp2 };

struct MacroBatch {
    BatchKind kind = BatchKind::Temp;
    std::wstring macroText;          // after "$P" and without the leading "@"
    bool startDirectly = false;      // no file variable, no blank: macroText is a program
    std::vector<std::wstring> lines; // drive, "CD " folder, then the "@CALL " lines
    std::vector<int> missingSlots;   // FileList indexes of the targets found missing
};

// Whether the file workDir + name exists.
using FileTest = std::function<bool(const std::wstring& name)>;

// workDir ends in "\". Targets are tested in list order as their lines are written; a
// missing one writes nothing and is reported in missingSlots.
MacroBatch ExpandMacro(const std::wstring& macro, const std::wstring& workDir,
                       const std::vector<NamedIndex>& targets, const FileTest& exists);

const wchar_t* BatchFileName(BatchKind kind);
// Every line followed by CR LF.
std::wstring BatchText(const std::vector<std::wstring>& lines);

// The first "$P" replaced by workDir without its trailing "\" (a drive root stays whole).
std::wstring SubstituteFolder(const std::wstring& macro, const std::wstring& workDir);
// The characters before the first "."; a name without one is its own base name.
std::wstring BaseName(const std::wstring& name);

} // namespace tovn
