#include "photo_page.h"
#include "app/wait_window.h"
#include "core/slots.h"
#include <psapi.h>

namespace tovn::bench {

namespace {

// The file a cell of the page shown holds; empty past the end of the list.
std::wstring FileOfCell(const BrowserState& s, int cell) {
    const int slot = Index(s.CurrentPage, cell, s.CellsPerPage);
    return slot >= 0 && slot < static_cast<int>(s.FileList.size()) ? s.FileList[slot].name
                                                                   : std::wstring();
}

void DispatchWaiting() {
    MSG msg;
    while (RunLoopTurn(msg, nullptr, false) == LoopTurn::Dispatched) {}
}

} // namespace

bool PageDrawn(const MainWindow& window) {
    const BrowserState& s = window.Core().State();
    HWND progress = WaitWindow::Handle(); // shown while a paint is under way
    if (progress && ::IsWindowVisible(progress)) return false;
    if (static_cast<int>(s.PageCells.size()) != s.CellsPerPage + 1) return false;
    for (int cell = 1; cell <= s.CellsPerPage; ++cell)
        if (s.PageCells[cell].name != FileOfCell(s, cell)) return false;
    return true;
}

bool WaitDrawn(MainWindow& window, DWORD limitMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        DispatchWaiting();
        if (PageDrawn(window)) return true;
        if (::GetTickCount() - start > limitMs) return false;
        MSG msg;
        // Nothing waits and the page is not drawn: the work goes on elsewhere (idle steps,
        // other threads); a message it sends wakes the wait.
        if (RunLoopTurn(window, msg, false) == LoopTurn::Idle)
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void RedrawFromMemory(MainWindow& window) {
    BrowserState& s = window.Core().State();
    s.PageCells.assign(s.CellsPerPage + 1, CellCache{});
    window.Painter().PaintPage();
    WaitDrawn(window);
}

int UnreadCells(const MainWindow& window) {
    const BrowserState& s = window.Core().State();
    int unread = 0;
    for (int cell = 1; cell <= s.CellsPerPage; ++cell) {
        const std::wstring name = FileOfCell(s, cell);
        if (name.empty()) continue;
        const CellPicture* kept =
            window.Painter().CellPictures().Find(name, cell, s.CellWidth, s.CellHeight);
        if (!kept || !kept->Drawn()) ++unread;
    }
    return unread;
}

size_t PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.PeakWorkingSetSize;
}

} // namespace tovn::bench
