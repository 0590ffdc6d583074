// The bands the grid shows over its cells: the cursor band across the top third of the
// cursor cell and a mark band across the bottom third of each marked cell. They are worked
// out from the state on every paint, so no drawing can leave one behind.
#pragma once
#include "core/browser_state.h"
#include "core/slots.h"
#include <cstdint>
#include <vector>

namespace tovn {

// rgb: 0xRRGGBB, the colour XORed over the cell.
struct Band {
    CellRect rect;
    uint32_t rgb;
};

constexpr uint32_t kBandYellow = 0xFFFF00;
constexpr uint32_t kBandRed = 0xFF0000;

inline bool operator==(const Band& a, const Band& b) {
    return a.rect.left == b.rect.left && a.rect.top == b.rect.top && a.rect.right == b.rect.right &&
           a.rect.bottom == b.rect.bottom && a.rgb == b.rgb;
}

// The marks of paintedPage (the page the cells show, which CurrentPage may have left while
// the slide show runs without SlideSync), then the cursor band when it is shown. Sort mode
// swaps the two colours. None while the cells have no size.
std::vector<Band> GridBands(const BrowserState& s, int paintedPage, bool cursorShown);

} // namespace tovn
