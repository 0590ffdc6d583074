// The main menu: every item sends a key to the key handler (or calls its handler).
#pragma once
#include <windows.h>

namespace tovn {

enum MenuId : int {
    idR1 = 101,
    idK2,
    idK1,
    idExit1,
    idCopy1,
    idD1,
    idEdit1,
    idFullReal1,
    idInsertSpace1,
    idMakeDirectory1,
    idM1,
    idN2,
    idNomalReName1,
    idPack1,
    idS1,
    idConvertBMP1,
    idSlide1,
    idN5,
    idN6,
    idO1,
    idHelp2,
    idVersionInfo1
};

// Builds the menu bar; sortItem receives the menu that holds N5 (for its check mark).
HMENU BuildMainMenu(HMENU* sortItem);

// The key an item sends (0 when it calls a handler of its own); shift receives modifiers.
WORD MenuKey(int id, unsigned* shift);

} // namespace tovn
