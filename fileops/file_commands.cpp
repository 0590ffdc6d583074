#include "fileops/file_commands.h"
#include "app/dialogs.h"
#include "browser/main_window.h"

namespace tovn {

void RunFileCommand(MainWindow& w, WORD key, unsigned shift) {
    BrowserState& st = w.State();
    switch (key) {
    case 'K':
        if (st.LhaMode) CurrentDialogs().Beep();
        return;
    case 'D':
        if (shift & ssCtrl) return;
        [[fallthrough]];
    default:
        if (st.FileList.empty()) CurrentDialogs().Beep();
        return;
    }
}

} // namespace tovn
