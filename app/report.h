// Telling the user of a failure: the one place a failed or refused command beeps or shows
// its box, as the Result says.
#pragma once
#include "app/result.h"
#include <windows.h>

namespace tovn {

class BrowserPort;

// Shows r to the user (nothing for a success); its box is owned by owner. A vanished
// archive needs the browser and is shown by the other overload only.
void Report(HWND owner, const Result& r);
// As above, and a vanished archive takes the browser back to its folder.
void Report(BrowserPort& browser, const Result& r);
// Reports r as above; true when it is a success and the command goes on.
bool Succeeded(BrowserPort& browser, const Result& r);

} // namespace tovn
