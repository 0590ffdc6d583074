// The plug-in host and the one picture loader: every picture the program shows, edits or
// converts is decoded here (BMP directly, everything else by the first plug-in that accepts
// it; in archive mode the entry is read into memory through the archive plug-in).
#pragma once
#include <windows.h>
#include <string>

namespace tovn {

enum LoadPurpose : unsigned char { lpThumbnail = 0, lpSlide = 1, lpEdit = 2, lpConvert = 3 };

// The published Susie picture information record.
#pragma pack(push, 1)
struct PictureInfo {
    LONG left, top, width, height;
    WORD x_density, y_density;
    SHORT colorDepth;
    HLOCAL hInfo;
};
#pragma pack(pop)

// Where LoadPicture finds a bare entry name: CurrentDir, or the archive
// CurrentDir + ArchiveName in archive mode.
struct PictureSource {
    std::wstring currentDir; // ends in "\"
    bool lhaMode = false;
    std::wstring archiveName;
};

} // namespace tovn
