#include "core/sort_mode.h"
#include "core/slots.h"
#include "core/text.h"

namespace tovn {

namespace {

int SlotOfPick(const BrowserState& s, const NamedIndex& pick) {
    if (pick.index >= 0 && pick.index < static_cast<int>(s.FileList.size()) &&
        EqualNoCase(s.FileList[pick.index].name, pick.name))
        return pick.index;
    return FindName(s, pick.name);
}

} // namespace

int ApplySortPicks(BrowserState& s, int anchor) {
    if (!s.SortList || anchor < 0 || anchor >= static_cast<int>(s.FileList.size())) return -1;
    const std::wstring anchorName = s.FileList[anchor].name;
    if (anchorName.empty()) return -1;
    std::vector<std::wstring> picked;
    for (const NamedIndex& pick : *s.SortList) {
        int slot = SlotOfPick(s, pick);
        if (slot < 0) continue;
        picked.push_back(s.FileList[slot].name);
        s.FileList[slot] = Slot{};
    }
    int at = FindName(s, anchorName);
    if (at < 0) return -1;
    std::vector<Slot> insert;
    for (const std::wstring& name : picked) insert.push_back({name, 0});
    s.FileList.insert(s.FileList.begin() + at, insert.begin(), insert.end());
    CompactList(s);
    s.SortList->clear();
    return FindName(s, anchorName);
}

} // namespace tovn
