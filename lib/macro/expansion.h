// A macro turned into the lines of the batch file that runs it: the "$" variables stand
// for the working folder and for the target files, one file variable per macro.
#pragma once
#include "core/batch_word.h"
#include "core/browser_state.h"
#include <functional>
#include <string>
#include <vector>

namespace tovn {

// "@" at the start of a macro chooses the second batch file.
enum class BatchKind { Temp, Temp2 };

// Why a batch must not run at all.
enum class BatchRefusal {
    None,
    Folder,  // the work folder has no spelling that reaches the interpreter exactly
    TooLong, // a line is longer than the interpreter reads whole
};

struct MacroBatch {
    BatchKind kind = BatchKind::Temp;
    std::wstring macroText;            // after "$P" and without the leading "@"
    bool startDirectly = false;        // no file variable, no blank: macroText is a program
    std::vector<std::wstring> lines;   // drive, "CD /D" folder and its check, "@CALL " lines
    std::vector<int> missingSlots;     // FileList indexes of the targets found missing
    std::vector<std::wstring> leftOut; // targets whose names no line can carry exactly
    BatchRefusal refusal = BatchRefusal::None;
};

// Whether the file workDir + name exists.
using FileTest = std::function<bool(const std::wstring& name)>;
// The forms of an existing name of the work folder.
using NameSpeller = std::function<NameForms(const std::wstring& name)>;

struct MacroPlace {
    std::wstring workDir; // ends in "\"
    NameForms folder;     // BatchFolder of workDir
    FileTest exists;
    NameSpeller spell;
};

// Targets are tested in list order as their lines are written; a missing one writes
// nothing and is reported in missingSlots, one whose name cannot be written in leftOut.
MacroBatch ExpandMacro(const std::wstring& macro, const MacroPlace& place,
                       const std::vector<NamedIndex>& targets);

const wchar_t* BatchFileName(BatchKind kind);
// Every line followed by CR LF.
std::wstring BatchText(const std::vector<std::wstring>& lines);

// The first "$P" replaced by folder.
std::wstring SubstituteFolder(const std::wstring& macro, const std::wstring& folder);
// The characters before the first "."; a name without one is its own base name.
std::wstring BaseName(const std::wstring& name);

} // namespace tovn
