// Names written into batch lines so that the command interpreter hands them to the command
// exactly as they are, and the lines that take a batch into its folder.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace tovn {

// How the interpreter reads a line. A plain line has its "%" signs and carets read once.
// A "CALL" line is read twice by Windows' interpreter; Wine's reads it twice for its own
// commands and once for a program: a "%" or "^" there has no spelling that reaches every
// command whole.
enum class LineKind { Plain, Called };

// The longest line the interpreter reads whole.
constexpr size_t kMaxBatchLine = 8191;

// The forms a file or folder can be written in: as it is, and the other (short) name the
// volume knows it by. Either is empty when the code page cannot spell it.
struct NameForms {
    std::wstring full;
    std::wstring alternate;
};

// word as it must stand in a line of kind, at a place inside or outside quotes the macro's
// author wrote: quoted (unless inside the author's quotes) when it holds anything but
// letters, digits, ". _ - ~ \ :" and characters beyond ASCII, "%" doubled in a plain line.
// Nothing when no spelling reaches the command exactly: a quote or control character, or a
// "%" or "^" in a called line.
std::optional<std::wstring> CmdWord(const std::wstring& word, LineKind kind, bool insideQuotes);
// The first of forms (full, then alternate) that CmdWord can write.
std::optional<std::wstring> CmdWord(const NameForms& forms, LineKind kind, bool insideQuotes);
// Whether text leaves an open quote behind (an odd number of '"').
bool OpenQuote(const std::wstring& text);

// A folder ending in "\" as batch lines name it: without that "\" unless a root.
std::wstring BatchFolder(const std::wstring& folder);

// The drive line and the line that changes into folder (forms of the folder with its drive
// and without a closing "\" unless a root), then a line that ends the batch when the change
// failed, so that no later line acts in another folder. Nothing when the folder cannot be
// spelled.
std::optional<std::vector<std::wstring>> FolderLines(const NameForms& folder);
// Whether each line fits what the interpreter reads whole.
bool LinesFit(const std::vector<std::wstring>& lines);

} // namespace tovn
