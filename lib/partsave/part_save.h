// The part-save list: 20 named sets of editor settings kept in the ".PS" file, the entry
// text, and the two outside tools' batch files written from a set.
#pragma once
#include "edit/edit_logic.h"
#include <optional>
#include <string>
#include <vector>

namespace tovn {

constexpr int kPartSaveEntries = 20;

// The file's lines (ANSI text). Lines beyond the 20th are kept; a shorter file is filled
// up with empty entries.
std::vector<std::string> ParsePartSaveFile(const std::string& bytes);
std::string PartSaveFileText(const std::vector<std::string>& lines);

// A stored entry read whole: its name and the settings it gives the editor, or nothing
// when a field is not a number or the count of fields is neither 10 nor 14. Fields the
// entry does not hold (bHanni) keep the values of `current`. The rectangle's coordinates
// and the line spacing come in their ranges (ClampToRanges).
struct PartEntry {
    std::string name;
    EditSettings settings;
};
std::optional<PartEntry> ParsePartEntry(const std::string& entry, const EditSettings& current);
// The entry in normal form: the name and all 14 fields.
std::string FormatPartEntry(const std::string& name, const EditSettings& s);
// The rectangle brought into the 8-pixel column grid.
void SnapToColumns(EditSettings& s);

// The backup folder as the batch files name it: without its closing "\" unless it is a
// root (3 characters or fewer).
std::wstring BatchBackupDir(const std::wstring& backupDir);
// The texts of "01PSS.BAT" and "10PSS256.BAT" (CR LF after each line).
std::wstring Pss01Text(const std::wstring& backupDir, const EditSettings& s);
std::wstring Pss10Text(const std::wstring& backupDir, const EditSettings& s);

} // namespace tovn
