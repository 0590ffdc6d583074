// The browser's commands in one table: which key or menu item runs which handler, in which
// modes, and what must hold before it runs. The dispatcher (browser/dispatcher.h) is the only
// caller; nothing else decides whether a command may run.
#pragma once
#include "app/result.h"
#include "core/browser_state.h"
#include <windows.h>
#include <vector>

namespace tovn {

class Browser;

// The browser's modes as bits of a row's mask. Archive mode counts as Normal.
enum ModeBit : unsigned { mNormal = 1, mSort = 2, mCapture = 4, mAll = 7 };

// What surrounds a handler: the key frame (cursor band off, the handler, the waiting window
// cleared, band on again) that every key gets, the cursor band kept off for a menu command,
// or nothing (the handler hides the band where it must).
enum class Frame { Key, CursorHidden, None };

// The modifier states a key row answers to.
enum class ShiftRule { Any, NoShift, Shift, NoCtrl };

// The key of the row that takes every digit, of the main keys and of the number pad.
constexpr WORD kDigit = 0xFFFF;

struct Command {
    const char* handler; // the name of the handler the row runs
    WORD key;            // 0: the row is a menu item's only
    ShiftRule shift;
    int menuId;     // 0: no menu item runs it
    unsigned modes; // in other modes the row is not there: its key is ignored silently
    bool beepFirst; // the command's own sound comes before any check
    Result (*available)(const BrowserState&); // null: always
    bool needsArchive; // the open archive must still exist (else back to the folder)
    Frame frame;
    void (*run)(Browser&, WORD key, unsigned shift);
};

// Every row; rows of one key are told apart by their shift rule and modes.
const std::vector<Command>& Commands();
// The mode bit of the browser's state.
unsigned ModeOf(const BrowserState&);
// The row key runs with shift (ssShift, ssCtrl, ssAlt) in the current mode; null: none.
const Command* CommandForKey(WORD key, unsigned shift, const BrowserState&);
// The row of a menu item; null for an unknown id.
const Command* CommandForMenu(int id);
// The shift state a menu item sends with its row's key.
unsigned MenuShift(const Command&);
// Whether the row may run now: a failure with Say::Nothing outside its modes, else what its
// availability rule says (refusals as the user is to be told of them).
Result IsCommandEnabled(const Command&, const BrowserState&);

} // namespace tovn
