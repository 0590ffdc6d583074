// TfrmOption: the dialog in which the user edits the options the browser holds in memory
// and the start-up count kept in the settings file.
#pragma once
#include <windows.h>
#include <string>
#include "core/browser_state.h"

namespace tovn {

// Control ids a test finds the options dialog's parts by. A radio group's items have the
// group's id plus the item index. btOk and btCancel are IDOK and IDCANCEL.
enum OptionId {
    kPcOption = 300,
    kRgBackUp = 310, // 3 items
    kEdBackDire = 315,
    kRgSlide = 320, // 2 items
    kRgGamen = 330, // 2 items
    kLbKazu = 335,
    kUdKazu = 336,
    kRgLongName = 340, // 2 items
    kEdCapName = 350,
    kCbCapKey = 351,
    kRgHueden = 360, // 3 items
};

// Shows the options dialog modally; OK stores into state (and "Window"/"Syoki",
// "Window"/"Syokisu" into the settings file iniPath). Returns true when closed with OK.
bool ShowOptions(HWND owner, BrowserState& state, const std::wstring& iniPath);

} // namespace tovn
