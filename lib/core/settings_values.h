// The values of the settings file as the program may use them. The file is the user's to
// edit, so every number read from it is brought into the range the program works with
// before anything depends on it: a display count of 0 or a window width that overflows
// must not stop the program from starting.
#pragma once
#include <optional>
#include <string>

namespace tovn {

// An integer key: its value when the key is missing, empty or not a decimal number, and
// the values the program can work with (low, low + step, ... up to high).
struct IntKey {
    const wchar_t* section;
    const wchar_t* key;
    int absent;
    int low, high, step;
    // A stored value that is none of them becomes this; without one (only where step is 1),
    // the nearest in range.
    std::optional<int> outside;
};

namespace keys {

constexpr int kIntMin = -2147483647 - 1, kIntMax = 2147483647;

// Anything but 0, 1 or 2 leaves delete without backup.
inline constexpr IntKey Backup{L"Directory", L"Backup", 1, 0, 2, 1, 0};
// Display counts: the N of an N × N grid, as the count commands make them.
inline constexpr IntKey Syokisu{L"Window", L"Syokisu", 3, 1, 30, 1, std::nullopt};
inline constexpr IntKey Img{L"Window", L"Img", 6, 1, 30, 1, std::nullopt};
// The next number of numbered rename: what its three-character box takes, and 1000 after
// the last rename of 999.
inline constexpr IntKey ReNo{L"ETC", L"ReNo", 0, -99, 1000, 1, std::nullopt};
inline constexpr IntKey HuedenLevel{L"ETC", L"HuedenLevel", 4, 4, 8, 2, 4};
// The longest side of a picture the program shows. A decoded picture is held several times
// over (the plug-in's block, the bitmap, a thumbnail or view made from it) at 3 bytes a pixel:
// 30000 x 30000 is 2.7 GB a copy, which only a 64-bit process can hold; a 32-bit one has 2 GB
// in all, so 10000 (300 MB a copy) there. A value outside the range keeps the usual limit
// rather than refusing every picture.
inline constexpr int kMaxPictureSideLimit = sizeof(void*) == 8 ? 30000 : 10000;
inline constexpr IntKey MaxPictureSide{L"ETC", L"MaxPictureSide", 3000, 1, kMaxPictureSideLimit, 1,
                                       3000};
// The bound of the lasting thumbnail cache in MB; 0 keeps no cache. A value outside the
// range keeps the usual bound.
inline constexpr IntKey ThumbnailCacheMB{L"ETC", L"ThumbnailCacheMB", 256, 0, 65536, 1, 256};
// The stored window; the placement rule fits it to the screen.
inline constexpr IntKey Left{L"Form", L"Left", 50, kIntMin, kIntMax, 1, std::nullopt};
inline constexpr IntKey Top{L"Form", L"Top", 50, kIntMin, kIntMax, 1, std::nullopt};
inline constexpr IntKey Width{L"Form", L"Width", 440, kIntMin, kIntMax, 1, std::nullopt};
inline constexpr IntKey Height{L"Form", L"Height", 300, 0, kIntMax, 1, std::nullopt};
inline constexpr IntKey WindowState{L"Form", L"Window", 0, kIntMin, kIntMax, 1, std::nullopt};
// The capture key: F1 to F15, the keys the options dialog offers.
inline constexpr IntKey CaptureKey{L"Capture", L"Key", 126, 112, 126, 1, 126};

} // namespace keys

// The stored text of an integer key (empty when the key is missing) as the program uses it.
int IntSetting(const IntKey& key, const std::wstring& stored);
// A boolean key: any number other than 0 is true; a missing or unreadable value is absent.
bool BoolSetting(const std::wstring& stored, bool absent);

} // namespace tovn
