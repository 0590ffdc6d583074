#include "app/report.h"
#include "app/dialogs.h"
#include "browser/browser_port.h"

namespace tovn {

void Report(HWND owner, const Result& r) {
    if (r) return;
    Dialogs& d = CurrentDialogs();
    switch (r.say()) {
    case Say::Nothing:
    case Say::ArchiveGone:
        return;
    case Say::Beep:
        d.Beep();
        return;
    case Say::BeepBox:
        d.Beep();
        d.Message(owner, r.text(), r.caption(), MB_OK);
        return;
    case Say::BoxBeep:
        d.Message(owner, r.text(), r.caption(), MB_OK);
        d.Beep();
        return;
    case Say::Box:
        d.Message(owner, r.text(), r.caption(), MB_OK);
        return;
    case Say::ErrorBox:
        d.Message(owner, r.text(), r.caption(), MB_OK | MB_ICONSTOP);
        return;
    }
}

void Report(BrowserPort& browser, const Result& r) {
    if (!r && r.say() == Say::ArchiveGone)
        browser.LeaveArchiveMode();
    else
        Report(browser.Owner(), r);
}

bool Succeeded(BrowserPort& browser, const Result& r) {
    Report(browser, r);
    return r.ok();
}

} // namespace tovn
