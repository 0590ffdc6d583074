// Runs the browser's commands: a key or a menu item is looked up in the command table, its
// checks are made in one order (own sound, mode and availability, archive still there) and
// its handler runs in its frame; the menu's check marks follow every command.
#pragma once
#include <windows.h>

namespace tovn {

class Browser;
struct Command;

class Dispatcher {
public:
    explicit Dispatcher(Browser& window) : w_(window) {}

    // A key with its shift state (ssShift, ssCtrl, ssAlt). Every key, run or ignored, gets
    // the key frame: the cursor band off, the waiting window cleared, the band on again.
    void KeyDown(WORD key, unsigned shift);
    // A menu item; the items that stand for a key go through KeyDown with that key.
    void Menu(int id);

private:
    void Run(const Command& c, WORD key, unsigned shift);

    Browser& w_;
};

} // namespace tovn
