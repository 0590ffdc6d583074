// The browser's macro command (the Alt key): the macro window, and after a run the page
// brought up to date with what the macro did to the files.
#pragma once

namespace tovn {

class BrowserPort;

void MacroCommand(BrowserPort& w);

} // namespace tovn
