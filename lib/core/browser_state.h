// The state every browser command shares: the slot list with marks and empty slots, the
// cursor and page, the display count, the modes, the folders and the options in memory.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tovn {

// One grid slot: a bare file (or archive member) name, empty for an empty slot.
struct Slot {
    std::wstring name;
    int mark = 0; // 0 or 1
};

// A file a command acts on (or a pick of sort mode), with its slot index.
struct NamedIndex {
    std::wstring name;
    int index = 0;
};

// The files a command acts on, collected once when it starts: the marked files, or else the
// cursor file; fromMarks says which.
struct TargetList {
    std::vector<NamedIndex> items;
    bool fromMarks = false;
};

// What was last drawn in one cell: name and packed DOS date-time of the file.
struct CellCache {
    std::wstring name;
    int32_t date = 0;
};

// The options in memory: what the settings file and the options window set, and what the
// commands may change for the next time (destination, rename pattern, slide size).
struct BrowserOptions {
    std::wstring CopyDir;
    std::wstring BackupDir;
    int BackupMode = 0;
    std::wstring TempDir;

    std::wstring RenameName;
    int RenameNo = 0;
    bool LongFileNames = false;
    bool SlideSync = true;
    bool SlideFullSize = false;
    int ReductionLevel = 4;
    // Pictures wider or higher than this are refused (the settings file's MaxPictureSide).
    int MaxPictureSide = 3000;
    // The bound of the lasting thumbnail cache in MB, 0 for none (ThumbnailCacheMB).
    int ThumbnailCacheMB = 256;
    std::wstring CaptureFileName = L"TOVN_";
    int CaptureKey = 126;
};

struct BrowserState : BrowserOptions {
    std::vector<Slot> FileList;
    std::vector<CellCache> PageCells;                // CellsPerPage + 1 entries; entry 0 unused
    std::optional<std::vector<NamedIndex>> SortList; // exists only in sort mode

    int CursorCell = 1;
    int CurrentPage = 1;
    int PageCount = 1;
    int DispCount = 6;
    int CellsPerPage = 36;
    int CellWidth = 0;
    int CellHeight = 0;

    std::wstring CurrentDir; // ends in "\"
    std::wstring ArchiveName;

    bool SortMode = false;
    bool LhaMode = false;
    bool CaptureMode = false;
    bool PaletteDisplay = false;
    bool LhaPluginLoaded = false;
    bool CellCacheValid = true;

    int WorkAreaHeight = 0;
    bool FirstResize = true;
    bool Closing = false;

    void SetDispCountValue(int n) {
        DispCount = n;
        CellsPerPage = n * n;
    }
};

} // namespace tovn
