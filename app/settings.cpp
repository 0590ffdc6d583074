#include "app/settings.h"
#include "core/settings_values.h"
#include "core/text.h"
#include <windows.h>

namespace tovn {

namespace {

class Ini {
public:
    explicit Ini(const std::wstring& path) : path_(path) {}
    std::wstring Text(const wchar_t* section, const wchar_t* key, const std::wstring& def) const {
        wchar_t buf[2048];
        ::GetPrivateProfileStringW(section, key, def.c_str(), buf, 2048, path_.c_str());
        return buf;
    }
    // Every number read is already in its range.
    int Int(const IntKey& key) const { return IntSetting(key, Text(key.section, key.key, L"")); }
    bool Bool(const wchar_t* section, const wchar_t* key, bool absent) const {
        return BoolSetting(Text(section, key, L""), absent);
    }
    void Put(const wchar_t* section, const wchar_t* key, const std::wstring& value) const {
        ::WritePrivateProfileStringW(section, key, value.c_str(), path_.c_str());
    }
    void Put(const wchar_t* section, const wchar_t* key, int value) const {
        Put(section, key, std::to_wstring(value));
    }

private:
    std::wstring path_;
};

std::wstring FolderOrProgram(const std::wstring& stored, const SettingsContext& c) {
    std::wstring folder = stored.empty() || !c.folderExists(stored) ? c.programDir : stored;
    return WithTrailingBackslash(folder);
}

} // namespace

std::wstring SettingsPathFor(const std::wstring& programPath) {
    size_t slash = programPath.find_last_of(L"\\/");
    size_t dot = programPath.rfind(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
        return programPath + L".INI";
    return programPath.substr(0, dot) + L".INI";
}

StartCount ReadStartCount(const std::wstring& iniPath) {
    Ini ini(iniPath);
    return {ini.Bool(L"Window", L"Syoki", false), ini.Int(keys::Syokisu)};
}

WindowPlacementSetting LoadSettings(BrowserState& s, const SettingsContext& c) {
    Ini ini(c.iniPath);
    s.CurrentDir = FolderOrProgram(ini.Text(L"Directory", L"Directory", L""), c);
    s.CopyDir = FolderOrProgram(ini.Text(L"Directory", L"CopyDirectory", L""), c);
    s.BackupMode = ini.Int(keys::Backup);
    s.BackupDir = ini.Text(L"Directory", L"BackupDirectory", L"");
    if (s.BackupMode == 2 && !c.folderExists(s.BackupDir)) {
        if (c.backupFolderMissing) c.backupFolderMissing();
        s.BackupMode = 0;
    }
    s.BackupDir = WithTrailingBackslash(s.BackupDir);
    const StartCount start = ReadStartCount(c.iniPath);
    s.SetDispCountValue(start.fixed ? start.count : ini.Int(keys::Img));
    s.RenameName = ini.Text(L"ETC", L"ReName", L"");
    s.RenameNo = ini.Int(keys::ReNo);
    s.LongFileNames = ini.Bool(L"ETC", L"LongFileName", false);
    s.SlideSync = ini.Bool(L"ETC", L"Slide", true);

    WindowPlacementSetting w;
    Bounds stored{ini.Int(keys::Left), ini.Int(keys::Top), ini.Int(keys::Width),
                  ini.Int(keys::Height)};
    w.bounds = PlaceWindow(stored, c.screenWidth, s.WorkAreaHeight);
    w.maximised = ini.Int(keys::WindowState) == 1;

    s.SlideFullSize = ini.Bool(L"Slide", L"FullSize", false);
    s.ReductionLevel = ini.Int(keys::HuedenLevel);
    s.MaxPictureSide = ini.Int(keys::MaxPictureSide);
    s.ThumbnailCacheMB = ini.Int(keys::ThumbnailCacheMB);
    s.CaptureFileName = ini.Text(L"Capture", L"FileName", L"TOVN_");
    s.CaptureKey = ini.Int(keys::CaptureKey);
    return w;
}

void SaveSettings(const BrowserState& s, const std::wstring& iniPath,
                  const WindowPlacementSetting& window) {
    Ini ini(iniPath);
    ini.Put(L"Directory", L"Directory", s.CurrentDir);
    ini.Put(L"Directory", L"CopyDirectory", s.CopyDir);
    ini.Put(L"Directory", L"Backup", s.BackupMode);
    ini.Put(L"Directory", L"BackUpDirectory", s.BackupDir);
    ini.Put(L"Window", L"Img", s.DispCount);
    ini.Put(L"ETC", L"ReName", s.RenameName);
    ini.Put(L"ETC", L"ReNo", s.RenameNo);
    ini.Put(L"ETC", L"LongFileName", s.LongFileNames ? 1 : 0);
    ini.Put(L"ETC", L"Slide", s.SlideSync ? 1 : 0);
    if (!window.maximised) {
        ini.Put(L"Form", L"Top", window.bounds.top);
        ini.Put(L"Form", L"Left", window.bounds.left);
        ini.Put(L"Form", L"Width", window.bounds.width);
        ini.Put(L"Form", L"Height", window.bounds.height);
    }
    ini.Put(L"Form", L"Window", window.maximised ? 1 : 0);
    ini.Put(L"Slide", L"FullSize", s.SlideFullSize ? 1 : 0);
    ini.Put(L"ETC", L"HuedenLevel", s.ReductionLevel);
    ini.Put(L"Capture", L"FileName", s.CaptureFileName);
    ini.Put(L"Capture", L"Key", s.CaptureKey);
}

} // namespace tovn
