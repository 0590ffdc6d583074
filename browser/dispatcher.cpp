#include "browser/dispatcher.h"
#include "app/dialogs.h"
#include "app/report.h"
#include "app/wait_window.h"
#include "browser/command_table.h"
#include "browser/main_window.h"

namespace tovn {

void Dispatcher::KeyDown(WORD key, unsigned shift) {
    const HWND owner = w_.Handle();
    if (!owner) return;
    w_.ToggleCursor();
    if (const Command* c = CommandForKey(key, shift, w_.State())) Run(*c, key, shift);
    if (!w_.Handle() || w_.State().Closing) return;
    ShowWaiting(L"", owner);
    w_.ToggleCursor();
    w_.UpdateMenuChecks();
    if (w_.afterKey) w_.afterKey(key);
}

void Dispatcher::Menu(int id) {
    const Command* c = CommandForMenu(id);
    if (!c) return;
    if (c->key) return KeyDown(c->key, MenuShift(*c));
    Run(*c, 0, 0);
    if (w_.Handle()) w_.UpdateMenuChecks();
}

void Dispatcher::Run(const Command& c, WORD key, unsigned shift) {
    if (c.beepFirst) CurrentDialogs().Beep();
    const Result enabled = IsCommandEnabled(c, w_.State());
    if (!enabled) return Report(w_, enabled);
    if (c.needsArchive && !w_.ArchiveStillThere()) return;
    if (c.frame == Frame::CursorHidden) {
        CursorBandHidden hidden(w_);
        c.run(w_, key, shift);
    } else {
        c.run(w_, key, shift);
    }
}

} // namespace tovn
