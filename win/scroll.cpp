#include "win/scroll.h"
#include <algorithm>

namespace tovn {

std::optional<int> RequestedScrollPosition(HWND window, int bar, int code, int line) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(window, bar, &si);
    int pos = si.nPos;
    switch (code) {
    case SB_LINEUP:
        pos -= line;
        break;
    case SB_LINEDOWN:
        pos += line;
        break;
    case SB_PAGEUP:
        pos -= static_cast<int>(si.nPage);
        break;
    case SB_PAGEDOWN:
        pos += static_cast<int>(si.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        pos = si.nTrackPos;
        break;
    case SB_TOP:
        pos = 0;
        break;
    case SB_BOTTOM:
        pos = si.nMax;
        break;
    default:
        return std::nullopt;
    }
    return std::max(0, std::min(pos, si.nMax - static_cast<int>(si.nPage) + 1));
}

} // namespace tovn
