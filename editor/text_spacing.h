// The character spacing of the editor's canvas text. The text asks for -10 between
// characters, made for a font whose characters are wider than 10 pixels; with the fonts that
// stand for "FixedSys" today every advance would turn negative and the text would run
// backwards over itself. The spacing used is the one nearest to the asked one at which the
// text still reads: no character's ink reaches the next one's (the second, one pixel bolder
// pass counted, one blank column between), every advance stays positive, and it is never
// wider than the font's own.
#pragma once
#include <windows.h>
#include <algorithm>
#include <climits>
#include <cwctype>
#include <string>
#include <vector>

namespace tovn {

// The spacing for writing lines with the font selected into dc, given the wanted one.
inline int ReadableCharacterExtra(HDC dc, const std::vector<std::wstring>& lines, int wanted) {
    constexpr int kBolder = 1, kBlank = 1;
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    int widestOverhang = INT_MIN;   // ink right of the advance
    int narrowestBearing = INT_MAX; // blank left of the ink
    int narrowestAdvance = INT_MAX;
    for (const std::wstring& line : lines)
        for (wchar_t c : line) {
            GLYPHMETRICS m{};
            // Without the font's glyph metrics the font's own spacing is the safe one.
            if (::GetGlyphOutlineW(dc, c, GGO_METRICS, &m, 0, nullptr, &identity) == GDI_ERROR)
                return std::max(wanted, 0);
            narrowestAdvance = std::min<int>(narrowestAdvance, m.gmCellIncX);
            if (std::iswspace(c)) continue; // no ink of its own
            widestOverhang =
                std::max<int>(widestOverhang,
                              m.gmptGlyphOrigin.x + static_cast<int>(m.gmBlackBoxX) - m.gmCellIncX);
            narrowestBearing = std::min<int>(narrowestBearing, m.gmptGlyphOrigin.x);
        }
    if (narrowestAdvance == INT_MAX) return wanted; // nothing to write
    int tightest = 1 - narrowestAdvance;
    if (widestOverhang != INT_MIN)
        tightest = std::max(tightest, widestOverhang + kBolder + kBlank - narrowestBearing);
    return std::max(wanted, std::min(tightest, 0));
}

} // namespace tovn
