#include "macro/macro_table.h"
#include "macro/macro_file.h"
#include <string_view>

namespace tovn {

namespace {
constexpr int kRows = kMacroSlots / 2;
// The characters of the digit keys 1..9, 0 with Shift on the Japanese layout; blanks where
// the shifted key gives no character that selects a slot ("7" gives "'", "0" nothing).
constexpr std::wstring_view kShiftedDigits = L"!\"#$%& ()";
} // namespace

int MacroSlotOf(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return c - L'A' + 1;
    if (c >= L'a' && c <= L'z') return c - L'a' + 1;
    if (c >= L'1' && c <= L'9') return c - L'1' + 27;
    if (c == L'0') return 36;
    size_t at = c == L' ' ? std::wstring_view::npos : kShiftedDigits.find(c);
    return at == std::wstring_view::npos ? 0 : static_cast<int>(at) + 27;
}

std::wstring MacroKeyName(int slot) {
    wchar_t key = slot <= 26  ? static_cast<wchar_t>(L'A' + slot - 1)
                  : slot < 36 ? static_cast<wchar_t>(L'1' + slot - 27)
                              : L'0';
    return std::wstring(1, key) + L":";
}

int MoveHighlight(int slot, HighlightMove move) {
    switch (move) {
    case HighlightMove::Up:
        return slot > 1 ? slot - 1 : slot;
    case HighlightMove::Down:
        return slot < kMacroSlots ? slot + 1 : slot;
    case HighlightMove::Right:
        return slot <= kRows ? slot + kRows : slot;
    case HighlightMove::Left:
        return slot > kRows ? slot - kRows : slot;
    }
    return slot;
}

SlotPlace PlaceOfSlot(int slot) {
    const bool right = slot > kRows;
    const int row = (slot - 1) % kRows;
    return {right ? 304 : 8, right ? 328 : 32, 16 * row};
}

} // namespace tovn
