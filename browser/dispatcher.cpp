#include "browser/dispatcher.h"
#include "app/dialogs.h"
#include "app/report.h"
#include "browser/command_table.h"
#include "browser/browser.h"

namespace tovn {

void Dispatcher::KeyDown(WORD key, unsigned shift) {
    if (!w_.View().IsOpen()) return;
    w_.SetCursorBand(false);
    if (const Command* c = CommandForKey(key, shift, w_.State())) Run(*c, key, shift);
    if (!w_.View().IsOpen() || w_.State().Closing) return;
    w_.View().ShowWaitingText(L"");
    w_.SetCursorBand(true);
    w_.View().UpdateMenuChecks();
    if (w_.afterKey) w_.afterKey(key);
}

void Dispatcher::Menu(int id) {
    const Command* c = CommandForMenu(id);
    if (!c) return;
    if (c->key) return KeyDown(c->key, MenuShift(*c));
    Run(*c, 0, 0);
    if (w_.View().IsOpen()) w_.View().UpdateMenuChecks();
}

void Dispatcher::Run(const Command& c, WORD key, unsigned shift) {
    if (c.beepFirst) CurrentDialogs().Beep();
    const Result enabled = IsCommandEnabled(c, w_.State());
    if (!enabled) return Report(w_, enabled);
    if (c.needsArchive && !w_.ArchiveStillThere()) return;
    if (c.frame == Frame::CursorHidden) w_.SetCursorBand(false);
    c.run(w_, key, shift);
    if (c.frame == Frame::CursorHidden && w_.View().IsOpen()) w_.SetCursorBand(true);
}

} // namespace tovn
