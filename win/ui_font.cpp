#include "win/ui_font.h"
#include <vector>

namespace tovn {

namespace {

constexpr int kLargerTries = 4;

UniqueFont MakeFont(const wchar_t* face, int height) {
    return UniqueFont(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
}

} // namespace

bool ShowsUnderscore(HFONT font) {
    UniqueMemDc dc(::CreateCompatibleDC(nullptr));
    SelectIn useFont(dc.get(), font);
    TEXTMETRICW tm{};
    SIZE size{};
    if (!::GetTextMetricsW(dc.get(), &tm) || !::GetTextExtentPoint32W(dc.get(), L"_", 1, &size) ||
        size.cx <= 0)
        return false;
    UniqueBitmap cell(::CreateBitmap(size.cx, tm.tmHeight, 1, 1, nullptr));
    SelectIn useCell(dc.get(), cell.get());
    ::PatBlt(dc.get(), 0, 0, size.cx, tm.tmHeight, WHITENESS);
    ::SetTextColor(dc.get(), RGB(0, 0, 0));
    ::SetBkMode(dc.get(), TRANSPARENT);
    ::TextOutW(dc.get(), 0, 0, L"_", 1);
    ::GdiFlush();
    for (int y = 0; y < tm.tmHeight; ++y)
        for (int x = 0; x < size.cx; ++x)
            if (::GetPixel(dc.get(), x, y) == RGB(0, 0, 0)) return true;
    return false;
}

UniqueFont UiFontShowingUnderscore(const wchar_t* face, int height) {
    const int step = height < 0 ? -1 : 1;
    for (int i = 0; i < kLargerTries; ++i) {
        UniqueFont font = MakeFont(face, height + i * step);
        if (font && ShowsUnderscore(font.get())) return font;
    }
    return MakeFont(face, height);
}

} // namespace tovn
