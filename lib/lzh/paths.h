#pragma once
#include <string>
#include <vector>

namespace lzh {

// True for the first byte of a two-byte character in code page 932.
inline bool IsSjisLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Splits a stored path at '/', '\' and 0xFF, never inside a two-byte character (its second
// byte may be 0x5C). Empty components are dropped.
std::vector<std::string> SplitPath(const std::string& raw);
std::string JoinPath(const std::vector<std::string>& parts, char separator);

// A relative path that cannot leave the extraction folder: drive letters, root anchors,
// "." and ".." components and characters Windows forbids are removed; reserved device
// names get a leading '_'. Empty when nothing usable remains.
std::string SafeRelativePath(const std::string& stored);

// DOS-style wildcard match ('*', '?'), ASCII case-insensitive, two-byte characters kept
// whole; "*.*" matches every name, with or without a dot.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// The folder part of a native path (before its last '\\' or '/'), and whether the path
// ends in a separator.
std::string ParentPath(const std::string& path);
bool EndsWithSeparator(const std::string& path);

// Case-insensitive equality for ASCII letters, as Windows compares file names.
bool SameName(const std::string& a, const std::string& b);

} // namespace lzh
