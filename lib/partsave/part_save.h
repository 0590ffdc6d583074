// The part-save list: 20 named sets of editor settings kept in the ".PS" file, the entry
// text, and the two outside tools' batch files written from a set.
#pragma once
#include "core/batch_word.h"
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

// The lines of "01PSS.BAT" and "10PSS256.BAT", given the forms of the backup folder as
// BatchFolder names it; nothing when the interpreter cannot be given that folder exactly.
std::optional<std::vector<std::wstring>> Pss01Lines(const NameForms& backupDir,
                                                    const EditSettings& s);
std::optional<std::vector<std::wstring>> Pss10Lines(const NameForms& backupDir,
                                                    const EditSettings& s);

} // namespace tovn
