// The file commands of the browser: copy, move, delete with backup, rename, numbered
// rename, new folder, insert space, duplicate and pack.
#pragma once
#include <windows.h>

namespace tovn {

class BrowserPort;

// Runs the command of key (C, U, D, M, N, Z, I, K, P) with its guards. shift: ssShift etc.
void RunFileCommand(BrowserPort& w, WORD key, unsigned shift);

} // namespace tovn
