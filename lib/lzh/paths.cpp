#include "lzh/paths.h"
#include <cctype>

namespace lzh {
namespace {

bool IsSeparator(unsigned char c) {
    return c == '/' || c == '\\' || c == 0xFF;
}

char Fold(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Length of the character starting at `i`: 2 for a complete two-byte character.
size_t CharLength(const std::string& s, size_t i) {
    return IsSjisLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

bool IsReservedDevice(const std::string& part) {
    std::string stem;
    for (char c : part) {
        if (c == '.') break;
        stem += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    static const char* const names[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* n : names)
        if (stem == n) return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '0' && stem[3] <= '9';
}

std::string CleanComponent(const std::string& part) {
    std::string out;
    for (size_t i = 0; i < part.size();) {
        size_t len = CharLength(part, i);
        unsigned char c = static_cast<unsigned char>(part[i]);
        if (len == 2 || (c >= 0x20 && std::string("<>:\"|?*").find(part[i]) == std::string::npos))
            out.append(part, i, len);
        i += len;
    }
    while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
    if (!out.empty() && IsReservedDevice(out)) out.insert(out.begin(), '_');
    return out;
}

bool MatchFrom(const std::string& p, size_t pi, const std::string& s, size_t si) {
    while (pi < p.size()) {
        if (p[pi] == '*') {
            while (pi < p.size() && p[pi] == '*') ++pi;
            if (pi == p.size()) return true;
            for (size_t k = si; k <= s.size(); k += (k < s.size() ? CharLength(s, k) : 1))
                if (MatchFrom(p, pi, s, k)) return true;
            return false;
        }
        if (si >= s.size()) return false;
        size_t plen = CharLength(p, pi), slen = CharLength(s, si);
        if (p[pi] == '?') {
            pi += 1;
        } else {
            if (plen != slen) return false;
            if (plen == 2 ? p.compare(pi, 2, s, si, 2) != 0 : Fold(p[pi]) != Fold(s[si]))
                return false;
            pi += plen;
        }
        si += slen;
    }
    return si == s.size();
}

} // namespace

std::vector<std::string> SplitPath(const std::string& raw) {
    std::vector<std::string> parts;
    std::string current;
    for (size_t i = 0; i < raw.size();) {
        size_t len = CharLength(raw, i);
        if (len == 1 && IsSeparator(static_cast<unsigned char>(raw[i]))) {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        } else {
            current.append(raw, i, len);
        }
        i += len;
    }
    if (!current.empty()) parts.push_back(current);
    return parts;
}

std::string JoinPath(const std::vector<std::string>& parts, char separator) {
    std::string out;
    for (const std::string& part : parts) {
        if (!out.empty()) out += separator;
        out += part;
    }
    return out;
}

std::string SafeRelativePath(const std::string& stored) {
    std::vector<std::string> kept;
    for (const std::string& part : SplitPath(stored)) {
        bool drive =
            part.size() == 2 && part[1] == ':' && std::isalpha(static_cast<unsigned char>(part[0]));
        if (drive) continue;
        if (part == "..") {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        std::string clean = CleanComponent(part);
        if (!clean.empty()) kept.push_back(clean);
    }
    return JoinPath(kept, '/');
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    if (pattern == "*.*" || pattern == "*") return true;
    return MatchFrom(pattern, 0, name, 0);
}

namespace {

// Where the last '\\' or '/' of a native path starts, walking by characters.
size_t LastSeparator(const std::string& path) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < path.size(); i += CharLength(path, i))
        if (path[i] == '\\' || path[i] == '/') last = i;
    return last;
}

} // namespace

std::string ParentPath(const std::string& path) {
    size_t cut = LastSeparator(path);
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

bool EndsWithSeparator(const std::string& path) {
    size_t cut = LastSeparator(path);
    return cut != std::string::npos && cut + 1 == path.size();
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size();) {
        size_t len = CharLength(a, i);
        if (len == 2 ? a.compare(i, 2, b, i, 2) != 0 : Fold(a[i]) != Fold(b[i])) return false;
        i += len;
    }
    return true;
}

} // namespace lzh
