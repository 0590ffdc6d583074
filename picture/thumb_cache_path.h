// Where the lasting thumbnail cache lives: beside the program when its folder can be written,
// else under the user's local application data, in a folder of the program's own.
#pragma once
#include <string>

namespace tovn {

inline constexpr wchar_t kThumbCacheFile[] = L"Tovn32Th.db";

// programFolder\Tovn32Th.db when that folder takes new files (the cache's log beside it needs
// them) and a database already there can be written; else localAppData\Tovane32\Tovn32Th.db,
// that folder made when missing; empty when neither can be written.
std::wstring ThumbCachePathIn(const std::wstring& programFolder, const std::wstring& localAppData);

// The same for this program, in UTF-8 as the cache opens it: its own folder, and the user's
// local application data (%LOCALAPPDATA%).
std::string ThumbCachePath();

} // namespace tovn
