// Fonts for window texts that must show every character of a file name. Some fonts that
// stand for the Japanese system fonts lose the underscore at small sizes (its stroke falls
// outside the character cell), so "IMG_0004" would read "IMG 0004".
#pragma once
#include "win/handles.h"
#include <windows.h>

namespace tovn {

// Whether "_" written in font leaves ink inside its character cell.
bool ShowsUnderscore(HFONT font);

// The font face at the given height (negative: character height), or at the nearest larger
// height that shows the underscore.
UniqueFont UiFontShowingUnderscore(const wchar_t* face, int height);

} // namespace tovn
