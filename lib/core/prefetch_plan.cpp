#include "core/prefetch_plan.h"
#include "core/slots.h"

namespace tovn {

bool KeepsSlot(const BrowserState& s, int slot) {
    if (slot < 0 || slot >= static_cast<int>(s.FileList.size())) return false;
    int page = PageOf(slot, s.CellsPerPage);
    return page >= s.CurrentPage - 1 && page <= s.CurrentPage + 1;
}

std::vector<int> PrefetchOrder(const BrowserState& s) {
    std::vector<int> order;
    const int count = static_cast<int>(s.FileList.size());
    for (int page : {s.CurrentPage + 1, s.CurrentPage - 1}) {
        if (page < 1) continue;
        for (int cell = 1; cell <= s.CellsPerPage; ++cell) {
            int slot = Index(page, cell, s.CellsPerPage);
            if (slot >= count) break;
            if (!s.FileList[slot].name.empty()) order.push_back(slot);
        }
    }
    return order;
}

} // namespace tovn
