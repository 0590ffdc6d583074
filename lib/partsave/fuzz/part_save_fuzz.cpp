#include "partsave/part_save.h"
#include <cstdlib>

// Any file reads into at least 20 entries that write back unchanged, and every entry either
// is refused whole or, written in normal form, reads back to the same settings.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines = tovn::ParsePartSaveFile(bytes);
    if (lines.size() < tovn::kPartSaveEntries) std::abort();
    if (tovn::ParsePartSaveFile(tovn::PartSaveFileText(lines)) != lines) std::abort();
    for (const std::string& line : lines) {
        auto entry = tovn::ParsePartEntry(line, tovn::EditSettings{});
        if (!entry) continue;
        auto again = tovn::ParsePartEntry(tovn::FormatPartEntry(entry->name, entry->settings),
                                          tovn::EditSettings{});
        if (!again || tovn::EditSettingsEntries(again->settings) !=
                          tovn::EditSettingsEntries(entry->settings))
            std::abort();
    }
    return 0;
}
