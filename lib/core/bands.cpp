#include "core/bands.h"

namespace tovn {

std::vector<Band> GridBands(const BrowserState& s, int paintedPage, bool cursorShown) {
    std::vector<Band> bands;
    if (s.CellWidth <= 0 || s.CellHeight <= 0) return bands;
    const int third = s.CellHeight / 3;
    const uint32_t markColour = s.SortMode ? kBandYellow : kBandRed;
    const int count = static_cast<int>(s.FileList.size());
    for (int cell = 1; cell <= s.CellsPerPage; ++cell) {
        const int slot = Index(paintedPage, cell, s.CellsPerPage);
        if (slot < 0 || slot >= count || s.FileList[size_t(slot)].mark != 1) continue;
        CellRect c = CellRectOf(cell, s.DispCount, s.CellWidth, s.CellHeight);
        bands.push_back({{c.left, c.bottom - third, c.right, c.bottom}, markColour});
    }
    if (cursorShown && s.CursorCell >= 1 && s.CursorCell <= s.CellsPerPage) {
        CellRect c = CellRectOf(s.CursorCell, s.DispCount, s.CellWidth, s.CellHeight);
        bands.push_back(
            {{c.left, c.top, c.right, c.top + third}, s.SortMode ? kBandRed : kBandYellow});
    }
    return bands;
}

} // namespace tovn
