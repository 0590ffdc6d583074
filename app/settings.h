// The settings file beside the program: read once at start, written at close.
#pragma once
#include "core/browser_state.h"
#include "core/placement.h"
#include <functional>
#include <string>

namespace tovn {

// The settings file: the program's path with the extension ".INI".
std::wstring SettingsPathFor(const std::wstring& programPath);

struct WindowPlacementSetting {
    Bounds bounds;
    bool maximised = false;
};

struct SettingsContext {
    std::wstring iniPath;
    std::wstring programDir; // ends in "\"
    int screenWidth = 0;
    std::function<bool(const std::wstring&)> folderExists;
    // Reported once when the backup folder of mode 2 is missing.
    std::function<void()> backupFolderMissing;
};

// "Syoki" and "Syokisu": whether every start uses the fixed display count, and that count
// (1..30).
struct StartCount {
    bool fixed = false;
    int count = 3;
};
StartCount ReadStartCount(const std::wstring& iniPath);

// Reads every key into the state with its default, each number brought into its range
// (core/settings_values.h), applies the folder, backup and display count rules, and returns the
// window placement (the placement rule already applied).
WindowPlacementSetting LoadSettings(BrowserState& s, const SettingsContext& c);

// Writes the keys kept between runs, in their fixed order. The window bounds are written
// only when the window is not maximised.
void SaveSettings(const BrowserState& s, const std::wstring& iniPath,
                  const WindowPlacementSetting& window);

} // namespace tovn
