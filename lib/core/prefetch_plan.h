// Which thumbnails are decoded ahead while the program is idle, and which are kept: the page
// shown, the next one and the previous one, so memory stays within three pages of cells.
#pragma once
#include "core/browser_state.h"
#include <vector>

namespace tovn {

// True when the slot lies on the page shown or on the page before or after it.
bool KeepsSlot(const BrowserState& s, int slot);

// The slots to decode ahead, in order: those of the next page, then those of the previous
// page; empty slots are left out.
std::vector<int> PrefetchOrder(const BrowserState& s);

} // namespace tovn
