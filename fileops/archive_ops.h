// The archive steps the commands share beyond the place's own operations (pack, the macros'
// work folder, part saves), the work folder, and the browser as the sink of slot changes.
#pragma once
#include "app/result.h"
#include "core/browser_state.h"
#include "place/kept_copies.h"
#include "place/place.h"
#include "place/shell_ops.h"
#include <string>
#include <vector>

namespace tovn {

class BrowserPort;

// The slots of the browser following a file operation: a vanished file's cell is emptied
// and painted at once, a removed one is emptied; stages go to the waiting window.
class BrowserSlots final : public SlotSink {
public:
    enum Stages { kShowStages, kNoStages };
    explicit BrowserSlots(BrowserPort& w, Stages stages = kShowStages) : w_(w), stages_(stages) {}
    void Vanished(int slot) override;
    void Removed(int slot) override;
    void Stage(const wchar_t* text) override;

private:
    BrowserPort& w_;
    Stages stages_;
};

// Adds each target, taken from sourceFolder, to the archive (created when new).
void PackTargets(BrowserPort& w, const TargetList& targets, const std::wstring& archivePath,
                 const std::wstring& sourceFolder);
// The work folder renamed to a folder of its own beside it, which no later operation clears,
// for files an operation could not put back; returns its path (ending in "\"), or the work
// folder itself when it cannot be renamed.
std::wstring SetTempDirAside(BrowserPort& w);

} // namespace tovn
