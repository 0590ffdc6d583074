// How the command interpreter reads one batch line and splits what it hands a program, as
// far as the names the batch writers spell need: "%" expansion, quotes, carets, the command
// separators, and for a "CALL" line the second reading of Windows' interpreter (carets
// doubled, the line read again) or the single one of Wine's.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace tovn::model {

enum class Interpreter { Windows, Wine };

// The arguments the command of line receives (the command word first), split as the C
// runtime splits a command line; nothing when the line would expand a variable, start
// another command or a redirection, or open a block.
std::optional<std::vector<std::wstring>> Arguments(const std::wstring& line, Interpreter how);

} // namespace tovn::model
