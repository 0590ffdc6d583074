// Building the slot list from the place shown.
#include "app/dialogs.h"
#include "app/report.h"
#include "browser/browser.h"
#include "core/slots.h"
#include <algorithm>

namespace tovn {

namespace {

// Locale-aware, case-insensitive order of the system's default user locale.
void SortByName(std::vector<Slot>& list) {
    std::stable_sort(list.begin(), list.end(), [](const Slot& a, const Slot& b) {
        return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.name.c_str(), -1,
                                b.name.c_str(), -1) == CSTR_LESS_THAN;
    });
}

} // namespace

// The place's pictures in name order. An archive that vanished beeps and shows its folder
// instead; one the list cannot show is refused and left.
void Browser::BuildFileList() {
    view_.ShowWaitingText(L"Now Making FileList");
    st_.FileList.clear();
    std::vector<std::wstring> names;
    const Result listed = place_->List(PluginMask(), names);
    if (listed.say() == Say::ArchiveGone) {
        CurrentDialogs().Beep();
        SetPlace(FolderAt(st_.CurrentDir));
        BuildFileList();
        return;
    }
    if (!listed) {
        Report(Owner(), listed);
        ReturnToFolderList();
        return;
    }
    for (std::wstring& name : names) st_.FileList.push_back({std::move(name), 0});
    SortByName(st_.FileList);
    st_.PageCount = PageCountFor(static_cast<int>(st_.FileList.size()), st_.CellsPerPage);
    view_.UpdateScrollBar();
    view_.ShowWaitingText(L"");
}

} // namespace tovn
