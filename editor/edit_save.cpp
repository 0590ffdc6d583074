// Save: the edited picture as a BMP file, converted back to MAG by MG.EXE for a MAG picture,
// moved into the open archive in archive mode. Nothing the user had is removed before its
// replacement is in place: a failed conversion or archive move keeps the edited picture
// beside the original and says where it is.
#include "app/batch_file.h"
#include "app/dialogs.h"
#include "app/report.h"
#include "app/run_and_wait.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/browser_port.h"
#include "core/text.h"
#include "editor/edit_window.h"
#include "fileops/archive_ops.h"
#include "fileops/commands.h"
#include "fileops/requests.h"
#include "imaging/bmp.h"
#include "imaging/mag.h"
#include "picture/picture_host.h"

namespace tovn {

namespace {

const wchar_t kKeptText[] = L"編集した画像は次のファイルにあります．\n";

// The pixels of a bitmap as a BMP file: palette pictures keep their indices and colour
// table, others are stored with 24 bits.
std::vector<uint8_t> BmpFileOf(HBITMAP bitmap) {
    DIBSECTION section{};
    BITMAP plain{};
    int width = 0, height = 0, bits = 24;
    if (::GetObjectW(bitmap, sizeof section, &section) == sizeof section) {
        width = section.dsBm.bmWidth, height = section.dsBm.bmHeight;
        bits = section.dsBmih.biBitCount;
    } else if (::GetObjectW(bitmap, sizeof plain, &plain)) {
        width = plain.bmWidth, height = plain.bmHeight;
    }
    if (bits != 1 && bits != 4 && bits != 8) bits = 24;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    std::vector<uint8_t> rows(stride * static_cast<size_t>(height));
    UniqueMemDc dc(::CreateCompatibleDC(nullptr));
    if (width <= 0 || height <= 0 ||
        ::GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(height), rows.data(),
                    reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != height)
        return {};
    std::vector<bmp::Rgb> palette;
    if (bits <= 8) {
        int count = 0;
        {
            SelectIn in(dc.get(), bitmap);
            count = static_cast<int>(::GetDIBColorTable(dc.get(), 0, 256, info.colours));
        }
        for (int i = 0; i < count; ++i)
            palette.push_back(
                {info.colours[i].rgbRed, info.colours[i].rgbGreen, info.colours[i].rgbBlue});
    }
    return bmp::WriteBmpFile(width, height, bits, palette, rows.data(), stride);
}

// A name in folder that no file has yet: name itself, else with a number before the
// extension.
std::wstring FreePath(const std::wstring& folder, const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    const std::wstring stem = name.substr(0, dot),
                       ext = dot == std::wstring::npos ? L"" : name.substr(dot);
    std::wstring path = folder + name;
    for (int n = 1; PathExists(path); ++n)
        path = folder + stem + L"(" + std::to_wstring(n) + L")" + ext;
    return path;
}

// Deletes a file whatever its attributes.
void DeleteAnyway(const std::wstring& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

// True when path holds a MAG picture of the given size: what an encoder that stopped half
// way leaves does not replace the picture.
bool HoldsMagOfSize(const std::wstring& path, int width, int height) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) return false;
    const imaging::Decoded decoded =
        imaging::DecodeMag(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return decoded.status == imaging::Status::Ok && decoded.picture.width == width &&
           decoded.picture.height == height;
}

} // namespace

bool TfrmEdit::WritePicture(const std::wstring& path) {
    std::vector<uint8_t> file = BmpFileOf(PictureBitmap().Bitmap());
    if (!file.empty() && WriteFileBytes(path, file.data(), file.size())) return true;
    ReportWriteError(hwnd_, path);
    return false;
}

void TfrmEdit::btSaveClick() {
    if (saving_) return;
    saving_ = true; // the conversion's wait dispatches messages: no second Save, no close
    SaveSteps();
    saving_ = false;
}

void TfrmEdit::SaveSteps() {
    const BrowserState& st = browser_.State();
    Place& place = browser_.CurrentPlace();
    std::wstring folder; // where the picture is written: its own folder, or the work folder
    const Result prepared = place.PrepareWork(folder);
    if (!prepared) return Report(hwnd_, prepared);
    const std::wstring base = BaseBeforeFirstDot(editFileName_);
    const std::wstring bmpName = base + L".BMP";
    const bool mg = editFileExt_ == L".MAG" && FileExists(browser_.ProgramDir() + L"MG.EXE");
    const bool replacesAnother = mg && ConversionWouldReplaceAnother(base);
    auto abandon = [&] { place.EndWork(); };
    auto keepAndClose = [&](const std::wstring& why) {
        KeepBeside(folder + bmpName, st.CurrentDir, why + kKeptText);
        abandon();
        CloseWith(IDOK);
    };
    listChanged_ = editFileExt_ != L".BMP" && editFileExt_ != L".MAG";
    if (!SetAsideFilesInTheWay(folder, bmpName, mg && !replacesAnother ? base + L".BAK" : L""))
        return;
    if (!WritePicture(folder + bmpName)) return abandon();

    std::wstring stored = bmpName; // the file in folder that holds the result
    if (mg) {
        if (replacesAnother) return keepAndClose(L"MAGファイルを置き換えられません．");
        switch (ConvertToMag(folder, base)) {
        case Conversion::NotRun:
            return abandon(); // the window stays open: Save may be tried again
        case Conversion::Converted:
            stored = base + L".MAG";
            break;
        case Conversion::Failed:
            // The batch removed the BMP after the failed conversion: write it again.
            if (!WritePicture(folder + bmpName)) return abandon();
            return keepAndClose(L"MAGファイルに変換できませんでした．");
        case Conversion::NotReplaced: // the batch never ran: the BMP is where it was written
            return keepAndClose(L"MAGファイルを置き換えられません．");
        }
    }
    // The place keeps the file where it cannot take it: it then stays beside the archive.
    if (!place.StoreBack({stored}))
        KeepBeside(folder + stored, st.CurrentDir,
                   L"書庫に格納できませんでした．" + std::wstring(kKeptText));
    place.EndWork();
    CloseWith(IDOK);
}

// A picture named with more than one dot converts to base + ".MAG", the name of another
// picture: one that exists is not replaced by the conversion.
bool TfrmEdit::ConversionWouldReplaceAnother(const std::wstring& base) {
    const std::wstring mag = base + L".MAG";
    if (EqualNoCase(mag, editFileName_)) return false;
    return browser_.CurrentPlace().Has(mag);
}

// The files of folder (where the picture is written) that Save would write over (the BMP, unless it
// is the picture itself) or the conversion batch deletes (bak, when given) are not the user's to
// lose: they go where deleted pictures go. False, the user told and nothing written, when
// they cannot be kept there.
bool TfrmEdit::SetAsideFilesInTheWay(const std::wstring& folder, const std::wstring& bmpName,
                                     const std::wstring& bak) {
    std::vector<std::wstring> inTheWay;
    if (!EqualNoCase(bmpName, editFileName_) && FileExists(folder + bmpName))
        inTheWay.push_back(folder + bmpName);
    if (!bak.empty() && FileExists(folder + bak)) inTheWay.push_back(folder + bak);
    if (inTheWay.empty()) return true;
    listChanged_ = true;
    if (PutAsideBeforeReplacing(browser_.Owner(), BackupOf(browser_.State()), folder, inTheWay,
                                WithoutBackup::Refuse))
        return true;
    std::wstring names;
    for (const std::wstring& path : inTheWay)
        if (FileExists(path)) names += L"\n" + path;
    Warn(hwnd_, L"保存で置き換わる次のファイルを残せないため，保存しませんでした．" + names,
         L"Save Error");
    return false;
}

// Runs the conversion batch. The MAG file being replaced is put aside first and comes back,
// with anything the encoder left in its place removed, unless the encoder wrote a picture of
// the edited size, whatever the batch's DEL lines did meanwhile. The new picture takes the
// old one's attributes.
TfrmEdit::Conversion TfrmEdit::ConvertToMag(const std::wstring& folder, const std::wstring& base) {
    const std::wstring mag = folder + base + L".MAG";
    const DWORD attributes = ::GetFileAttributesW(mag.c_str());
    std::wstring aside;
    if (FileExists(mag)) {
        wchar_t name[MAX_PATH] = {};
        if (!::GetTempFileNameW(folder.c_str(), L"TVN", 0, name) ||
            !::MoveFileExW(mag.c_str(), name, MOVEFILE_REPLACE_EXISTING)) {
            if (name[0]) ::DeleteFileW(name);
            return Conversion::NotReplaced;
        }
        aside = name;
    }
    auto restore = [&] {
        if (!aside.empty()) ::MoveFileExW(aside.c_str(), mag.c_str(), MOVEFILE_REPLACE_EXISTING);
    };
    const std::wstring batch = browser_.ProgramDir() + L"TEMP.BAT";
    const std::wstring bitmap = base + L".BMP";
    const auto lines =
        ConvertBatchLines({PathForms(BatchFolder(folder)), FileForms(browser_.ProgramDir(), L"MG"),
                           NameFormsIn(folder, bitmap), FileForms(folder, base + L".BAK"),
                           FileForms(folder, bitmap)});
    const auto command = BatchCommandLine(batch);
    const BatchWrite written =
        lines && command ? WriteBatchFile(batch, *lines) : BatchWrite::Refused;
    if (written != BatchWrite::Written) {
        restore();
        if (written == BatchWrite::Refused)
            ReportBatchRefused(hwnd_, folder + bitmap);
        else
            ReportWriteError(hwnd_, batch);
        return Conversion::NotRun;
    }
    if (!RunAndWait(*command).started) {
        restore();
        return Conversion::NotRun;
    }
    if (HoldsMagOfSize(mag, PictureBitmap().Width(), PictureBitmap().Height())) {
        if (!aside.empty()) {
            ::SetFileAttributesW(mag.c_str(), attributes);
            DeleteAnyway(aside);
        }
        return Conversion::Converted;
    }
    if (FileExists(mag)) DeleteAnyway(mag);
    restore();
    return Conversion::Failed;
}

// The edited picture at path is kept in folder (where it already is outside archive mode),
// and the user is told where.
void TfrmEdit::KeepBeside(const std::wstring& path, const std::wstring& folder,
                          const std::wstring& why) {
    keptFile_ = path;
    const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    const bool shown = EqualNoCase(path, folder + name); // already in the listed folder
    if (!shown) {
        const std::wstring target = FreePath(folder, name);
        // A file that cannot leave the work folder stays with it, set aside.
        keptFile_ = ::MoveFileExW(path.c_str(), target.c_str(), MOVEFILE_COPY_ALLOWED)
                        ? target
                        : SetTempDirAside(browser_) + name;
    }
    listChanged_ = listChanged_ || shown;
    CurrentDialogs().Beep();
    CurrentDialogs().Message(hwnd_, why + keptFile_, L"Save Error", MB_OK);
}

} // namespace tovn
