#include "fileops/file_commands.h"
#include "app/report.h"
#include "browser/browser_port.h"
#include "fileops/commands.h"

namespace tovn {

void RunFileCommand(BrowserPort& w, WORD key, unsigned shift) {
    BrowserState& st = w.State();
    const bool isShift = shift & ssShift, isCtrl = shift & ssCtrl;
    switch (key) {
    case 'K':
        if (st.LhaMode)
            Report(w, Result::Refused());
        else
            NewFolder(w);
        return;
    case 'I':
        InsertSpaceAtCursor(w);
        return;
    case 'D':
        if (isCtrl) return;
        break;
    }
    if (st.FileList.empty()) {
        Report(w, Result::Refused());
        return;
    }
    switch (key) {
    case 'C':
    case 'U':
        CopyOrMove(w, false, isShift);
        return;
    case 'M':
        CopyOrMove(w, true, isShift);
        return;
    case 'D':
        DeleteWithBackup(w);
        return;
    case 'N':
        if (isShift)
            RenameEach(w);
        else
            NumberedRename(w);
        return;
    case 'Z':
        Duplicate(w);
        return;
    case 'P':
        Pack(w, isCtrl);
        return;
    }
}

Result FilesKept() {
    return Result::Error(L"コピーを確かめられないため，元のファイルは削除しませんでした．",
                         L"Files Kept");
}

} // namespace tovn
