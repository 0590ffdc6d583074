// What the photo benchmarks ask of the real main window: when the page shown is drawn,
// the program's own loop run until it is, a repaint from the cells held in memory, and the
// process's peak memory.
#pragma once
#include "browser/main_window.h"
#include <cstddef>

namespace tovn::bench {

// Every cell of the page shown holds its own file (or is empty past the list's end) and
// no paint is under way.
bool PageDrawn(const MainWindow& window);
// Runs the program's loop until the page shown is drawn: waiting messages go first, and
// the idle step (where the program goes on with its work) runs only while the page is not
// yet drawn, so that nothing decoded ahead is counted. False after limitMs.
bool WaitDrawn(MainWindow& window, DWORD limitMs = 10 * 60 * 1000);
// The page drawn again, every cell from the pictures kept in memory (nothing decoded).
void RedrawFromMemory(MainWindow& window);
// Cells of the page shown with a file whose picture could not be read (drawn as such).
int UnreadCells(const MainWindow& window);
// The most memory this process has held in its working set so far, in bytes.
size_t PeakWorkingSet();

} // namespace tovn::bench
