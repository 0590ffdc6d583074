#include "picture/convert_bmp.h"
#include "app/report.h"
#include "win/handles.h"
#include "app/wait_window.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/browser_port.h"
#include "core/slide_geometry.h"
#include "core/slots.h"
#include "fileops/archive_ops.h"
#include "fileops/commands.h"
#include "fileops/requests.h"
#include "place/shell_ops.h"
#include "imaging/bmp.h"
#include "picture/picture_host.h"
#include <cstring>

namespace tovn {

namespace {

const wchar_t kSaveCaption[] = L"TOVN Can not Save Files";

size_t StrideOf(int width, int bitCount) {
    return (size_t(width) * size_t(bitCount) + 31) / 32 * 4;
}

// The pixel rows bottom row first, as the file stores them; other depths than 1, 4, 8
// and 24 are converted to 24 bits by the platform.
bool BottomUpRows(const Picture& picture, const DIBSECTION& ds, int bitCount,
                  std::vector<uint8_t>& rows) {
    const int width = ds.dsBm.bmWidth, height = ds.dsBm.bmHeight;
    const size_t stride = StrideOf(width, bitCount);
    rows.assign(stride * size_t(height), 0);
    if (bitCount == ds.dsBmih.biBitCount && ds.dsBm.bmBits) {
        const auto* bits = static_cast<const uint8_t*>(ds.dsBm.bmBits);
        const bool topDown = ds.dsBmih.biHeight < 0;
        for (int y = 0; y < height; ++y) {
            const int from = topDown ? height - 1 - y : y;
            std::memcpy(rows.data() + size_t(y) * stride, bits + size_t(from) * stride, stride);
        }
        return true;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = WORD(bitCount);
    info.bmiHeader.biCompression = BI_RGB;
    WindowDc screen(nullptr);
    return ::GetDIBits(screen.get(), picture.Bitmap(), 0, UINT(height), rows.data(), &info,
                       DIB_RGB_COLORS) == height;
}

std::vector<bmp::Rgb> ColourTable(const Picture& picture) {
    RGBQUAD table[256] = {};
    UINT count = 0;
    {
        UniqueMemDc dc(::CreateCompatibleDC(nullptr));
        SelectIn bitmap(dc.get(), picture.Bitmap());
        count = ::GetDIBColorTable(dc.get(), 0, 256, table);
    }
    std::vector<bmp::Rgb> palette;
    for (UINT i = 0; i < count; ++i)
        palette.push_back({table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue});
    return palette;
}

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

// Where copies of the converted files and of the archive stay until the archive is seen to
// hold every converted file: a new folder beside the program, since the work folder belongs
// to one operation and an earlier run's copies must not be replaced.
std::wstring NewKeptFolder(const std::wstring& programDir) {
    for (int n = 1; n < 1000; ++n) {
        const std::wstring folder =
            programDir + L"KEPT" + (n > 1 ? std::to_wstring(n) : std::wstring()) + L"\\";
        if (!PathExists(folder)) return folder;
    }
    return L"";
}

bool KeepCopies(const std::wstring& archivePath, const std::wstring& archiveName,
                const std::wstring& tempDir, const std::wstring& kept,
                const std::vector<std::wstring>& saved) {
    if (kept.empty() || !MakeFolderWithParents(kept) ||
        !::CopyFileW(archivePath.c_str(), (kept + archiveName).c_str(), FALSE))
        return false;
    for (const std::wstring& name : saved)
        if (!::CopyFileW((tempDir + name).c_str(), (kept + name).c_str(), FALSE)) return false;
    return true;
}

void ReportNotMoved(BrowserPort& w, const std::wstring& where) {
    Report(w.Owner(), Result::Error(L"書庫にBMPファイルを入れられませんでした．変換したファイルは" +
                                        where + L"にあります．",
                                    kSaveCaption));
}

} // namespace

void MoveIntoArchive(BrowserPort& w, const std::vector<std::wstring>& saved) {
    BrowserState& st = w.State();
    const std::wstring archivePath = w.CurrentPlace().Path();
    const std::wstring kept = NewKeptFolder(w.ProgramDir());
    if (kept.empty()) return ReportNotMoved(w, st.TempDir);
    bool held = false, restored = true;
    const bool copiesKept = KeepCopies(archivePath, st.ArchiveName, st.TempDir, kept, saved);
    if (copiesKept) {
        std::wstring command = L"m -c -n " + Quoted(archivePath);
        for (const std::wstring& name : saved) command += L" " + Quoted(st.TempDir + name);
        RunUnlha(w.Owner(), ToAnsi(command));
        held = ArchiveMatchesFiles(w.Owner(), archivePath, kept, saved);
        if (!held)
            restored = ::CopyFileW((kept + st.ArchiveName).c_str(), archivePath.c_str(), FALSE);
    }
    // The archive's copy goes only once the archive is whole again.
    if (restored) ::DeleteFileW((kept + st.ArchiveName).c_str());
    if (held) {
        ClearTempDir(kept);
        ClearTempDir(w);
        return;
    }
    if (!copiesKept) ClearTempDir(kept);
    ReportNotMoved(w, copiesKept ? kept : st.TempDir);
}

std::vector<uint8_t> BmpFileOf(const Picture& picture) {
    DIBSECTION ds = {};
    if (picture.Empty() || ::GetObjectW(picture.Bitmap(), sizeof ds, &ds) != int(sizeof ds) ||
        ds.dsBm.bmWidth <= 0 || ds.dsBm.bmHeight <= 0)
        return {};
    const int depth = ds.dsBmih.biBitCount;
    const int bitCount = depth == 1 || depth == 4 || depth == 8 ? depth : 24;
    std::vector<uint8_t> rows;
    if (!BottomUpRows(picture, ds, bitCount, rows)) return {};
    const std::vector<bmp::Rgb> palette =
        bitCount <= 8 ? ColourTable(picture) : std::vector<bmp::Rgb>();
    return bmp::WriteBmpFile(ds.dsBm.bmWidth, ds.dsBm.bmHeight, bitCount, palette, rows.data(),
                             StrideOf(ds.dsBm.bmWidth, bitCount));
}

void ConvertBMP1Click(BrowserPort& w) {
    BrowserState& st = w.State();
    std::wstring outDir = st.CurrentDir;
    if (st.LhaMode) {
        CreateTempDir(w);
        outDir = st.TempDir;
    }
    std::vector<std::wstring> saved;
    const TargetList targets = w.CollectTargets();
    for (const NamedIndex& t : targets.items) {
        ShowWaiting(L"Now Converting:" + st.CurrentDir + t.name, w.Owner());
        if (!w.CheckSlotFile(t.index) || UpperExtension(t.name) == L".BMP") continue;
        std::wstring written;
        if (ConvertOne(w, t.name, outDir, written)) saved.push_back(written);
    }
    if (st.LhaMode) {
        if (saved.empty())
            ClearTempDir(w);
        else
            MoveIntoArchive(w, saved);
    }
    ShowWaiting(L"", w.Owner());
    // Read again as the S key does, so that the new files appear and the cursor stays.
    w.Redraw(rdList | rdCells | rdScrollBar | rdStatusBar);
    w.SetCursorBand(true);
}

} // namespace tovn
