// Batch files as the command interpreter will read them: names in the forms the code page
// spells exactly, and text written only when every line reaches the interpreter whole.
#pragma once
#include "core/batch_word.h"
#include <windows.h>
#include <optional>
#include <string>
#include <vector>

namespace tovn {

// A path as it is and as its short path, each kept only when the code page spells it.
NameForms PathForms(const std::wstring& path);
// A name of folder (which ends in "\") as it is and as its short name.
NameForms NameFormsIn(const std::wstring& folder, const std::wstring& name);
// The full path of a name of folder (which ends in "\"), which need not exist: as it is, and
// with the folder's short path and the name's short name where they have them.
NameForms FileForms(const std::wstring& folder, const std::wstring& name);

enum class BatchWrite { Written, Refused, Unwritable };
// Writes lines (each ended by CR LF) to path in the ANSI code page. Refused, with nothing
// written, when a line is too long or the code page cannot spell it exactly.
BatchWrite WriteBatchFile(const std::wstring& path, const std::vector<std::wstring>& lines);

// The command line that runs the batch file at path: its path quoted, in the form the code
// page spells exactly; nothing when it has none.
std::optional<std::string> BatchCommandLine(const std::wstring& path);

// Beep and the message that the batch was not run because of what it would have to name.
void ReportBatchRefused(HWND owner, const std::wstring& what);
// The same for a line too long for the interpreter.
void ReportBatchTooLong(HWND owner);

} // namespace tovn
