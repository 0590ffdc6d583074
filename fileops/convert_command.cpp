// BMP conversion: a BMP copy of each chosen picture beside it (in archive mode: into the
// open archive), then the list is read again.
#include "app/report.h"
#include "app/wait_window.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/browser_port.h"
#include "core/slide_geometry.h"
#include "core/slots.h"
#include "fileops/archive_ops.h"
#include "fileops/commands.h"
#include "fileops/requests.h"
#include "picture/convert_bmp.h"
#include "picture/picture_host.h"
#include "place/shell_ops.h"

namespace tovn {

namespace {

const wchar_t kSaveCaption[] = L"TOVN Can not Save Files";

// Decodes one target and writes its BMP into outDir; reports a failure and returns false.
bool ConvertOne(BrowserPort& w, const std::wstring& name, const std::wstring& outDir,
                std::wstring& written) {
    const LoadedPicture loaded = w.Pictures().LoadPicture(name, lpConvert, w.Source());
    if (!loaded.ok) {
        Report(w.Owner(), loaded.Outcome());
        Report(w.Owner(), Result::Error(name + L"は扱えません．", kSaveCaption));
        return false;
    }
    written = BmpOutputName(name);
    const std::vector<uint8_t> file = BmpFileOf(loaded.picture);
    if (file.empty() ||
        !PutAsideBeforeReplacing(w.Owner(), BackupOf(w.State()), outDir, {outDir + written},
                                 WithoutBackup::Replace) ||
        !WriteFileBytes(outDir + written, file.data(), file.size())) {
        Report(w.Owner(), Result::Error(name + L"の保存に失敗しました．", kSaveCaption, Say::Box));
        return false;
    }
    return true;
}

void ReportNotMoved(BrowserPort& w, const std::wstring& where) {
    Report(w.Owner(), Result::Error(L"書庫にBMPファイルを入れられませんでした．変換したファイルは" +
                                        where + L"にあります．",
                                    kSaveCaption));
}

} // namespace

void ConvertBMP1Click(BrowserPort& w) {
    const BrowserState& st = w.State();
    Place& place = w.CurrentPlace();
    std::wstring outDir;
    const Result prepared = place.PrepareWork(outDir);
    if (prepared) {
        std::vector<std::wstring> saved;
        const TargetList targets = w.CollectTargets();
        for (const NamedIndex& t : targets.items) {
            ShowWaiting(L"Now Converting:" + st.CurrentDir + t.name, w.Owner());
            if (!w.CheckSlotFile(t.index) || UpperExtension(t.name) == L".BMP") continue;
            std::wstring written;
            if (ConvertOne(w, t.name, outDir, written)) saved.push_back(written);
        }
        // Files the place could not take stay together, where no later command clears them.
        if (!place.StoreBack(saved)) ReportNotMoved(w, SetTempDirAside(w));
        place.EndWork();
    } else {
        Report(w, prepared);
    }
    ShowWaiting(L"", w.Owner());
    // Read again as the S key does, so that the new files appear and the cursor stays.
    w.Redraw(rdList | rdCells | rdScrollBar | rdStatusBar);
    w.SetCursorBand(true);
}

} // namespace tovn
