#include "partsave/part_save.h"
#include <cstdlib>

using namespace tovn;

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// What an entry gives the editor is in range, and stays so once snapped to the columns and
// fitted to a picture.
void CheckRanges(EditSettings s) {
    for (int c : {s.StartX, s.StartY, s.EndX, s.EndY}) Check(c >= 0 && c <= kMaxCoordinate);
    Check(s.Gyoukan >= kMinGyoukan && s.Gyoukan <= kMaxGyoukan);
    SnapToColumns(s);
    Check(s.StartX >= 0 && s.EndX <= kMaxCoordinate);
    FitTextRect(s, 640, 400);
    Check(0 <= s.StartX && s.StartX <= s.EndX && s.EndX <= 640);
    Check(0 <= s.StartY && s.StartY <= s.EndY && s.EndY <= 400);
}

} // namespace

// Any file reads into at least 20 entries that write back unchanged; every entry either is
// refused whole or gives settings in range that, written in normal form, read back the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines = ParsePartSaveFile(bytes);
    Check(lines.size() >= kPartSaveEntries);
    Check(ParsePartSaveFile(PartSaveFileText(lines)) == lines);
    for (const std::string& line : lines) {
        auto entry = ParsePartEntry(line, EditSettings{});
        if (!entry) continue;
        CheckRanges(entry->settings);
        auto again = ParsePartEntry(FormatPartEntry(entry->name, entry->settings), EditSettings{});
        Check(again &&
              EditSettingsEntries(again->settings) == EditSettingsEntries(entry->settings));
    }
    return 0;
}
