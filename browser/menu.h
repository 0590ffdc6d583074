// The main menu bar's layout: its items and captions. What an item does is its row in the
// command table (browser/command_table.h).
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

HMENU BuildMainMenu();

} // namespace tovn
