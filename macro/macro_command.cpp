#include "macro/macro_command.h"
#include "browser/browser_port.h"
#include "core/slots.h"
#include "macro/macro_window.h"

namespace tovn {

namespace {

// After a run the page shows what the macro made of the files; the list is not read again,
// so a file the macro removed is drawn as any vanished file is. The cursor stands on a file.
void AfterRun(BrowserPort& w) {
    const BrowserState& st = w.State();
    w.Redraw(rdCells);
    const int slot = CursorSlot(st);
    if (slot < 0 || slot >= static_cast<int>(st.FileList.size()) || st.FileList[slot].name.empty())
        w.GoToCell(st.CurrentPage, st.CursorCell, false);
    w.Redraw(rdStatusBar);
}

} // namespace

void MacroCommand(BrowserPort& w) {
    TfrmMcr form(w);
    if (form.Create() && form.ShowModal() == IDOK) AfterRun(w);
}

} // namespace tovn
