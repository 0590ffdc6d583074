// The 36 slots of the macro window: which key selects which slot, where its labels stand,
// and how the highlight moves between the two columns.
#pragma once
#include <string>

namespace tovn {

// Slot 1..36 selected by a typed character (A-Z either case, the digits and the shifted
// digits of the Japanese layout); 0 for any other character.
int MacroSlotOf(wchar_t c);
// "A:" ... "Z:", "1:" ... "9:", "0:".
std::wstring MacroKeyName(int slot);

enum class HighlightMove { Up, Down, Left, Right };
// The slot the highlight goes to; the same slot when the move leads nowhere. Up and Down
// run through both columns as one list (18 Down is 19); Left and Right keep the row.
int MoveHighlight(int slot, HighlightMove move);

// Where the labels of a slot stand in the window's client area.
struct SlotPlace {
    int keyLeft, textLeft, top;
};
constexpr int kKeyLabelWidth = 20, kTextLabelWidth = 260, kLabelHeight = 18;
SlotPlace PlaceOfSlot(int slot);

} // namespace tovn
