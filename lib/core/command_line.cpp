#include "core/command_line.h"
#include "core/text.h"

namespace tovn {

StartTarget ParseCommandLine(const std::vector<std::wstring>& args,
                             const std::function<bool(const std::wstring&)>& fileExists) {
    StartTarget t;
    if (args.empty() || args[0].empty()) return t;
    std::wstring joined;
    for (size_t i = 0; i < args.size(); ++i) joined += (i ? L" " : L"") + args[i];
    if (fileExists(joined)) {
        size_t cut = joined.find_last_of(L"\\:");
        t.folder = cut == std::wstring::npos ? std::wstring() : joined.substr(0, cut + 1);
        t.file = cut == std::wstring::npos ? joined : joined.substr(cut + 1);
        return t;
    }
    while (!joined.empty() && joined.back() == L'.') joined.pop_back();
    t.folder = WithTrailingBackslash(joined);
    return t;
}

} // namespace tovn
