#include "fileops/archive_ops.h"
#include "app/report.h"
#include "win/handles.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/browser_port.h"
#include "app/wait_window.h"
#include "fileops/requests.h"
#include "place/shell_ops.h"
#include "fileops/slot_edits.h"

namespace tovn {

void BrowserSlots::Vanished(int slot) {
    w_.ApplySlots(SlotChanges::Emptied(slot));
    w_.PaintSlot(slot);
}

void BrowserSlots::Removed(int slot) {
    w_.ApplySlots(SlotChanges::Emptied(slot));
}

void BrowserSlots::Stage(const wchar_t* text) {
    if (stages_ == kShowStages) ShowWaiting(text, w_.Owner());
}

void PackTargets(BrowserPort& w, const TargetList& targets, const std::wstring& archivePath,
                 const std::wstring& sourceFolder) {
    // Whether the archive holds what it should is checked member by member by the callers
    // that remove anything; a refusal alone is only logged.
    (void)RunArchiveCommand(
        w.Owner(), ToAnsi(PackCommand(archivePath, sourceFolder, ArchiveTargetNames(targets))));
}

std::wstring SetTempDirAside(BrowserPort& w) {
    const std::wstring& tempDir = w.State().TempDir;
    const std::wstring from = tempDir.substr(0, tempDir.size() - 1);
    for (int n = 1; n < 1000; ++n) {
        const std::wstring to = from + L"." + std::to_wstring(n);
        if (PathExists(to)) continue;
        if (::MoveFileW(from.c_str(), to.c_str())) return to + L"\\";
        break;
    }
    return tempDir;
}

} // namespace tovn
