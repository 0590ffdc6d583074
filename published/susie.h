// The published Susie plug-in interface: the records import plug-ins ("00IN") and archive
// plug-ins ("00AM") exchange with their host, the result codes and the input flags. One
// definition for the host and for our own plug-ins, so both always agree on the layout.
#pragma once
#include <windows.h>

namespace tovn::susie {

enum Result : int {
    kNotImplemented = -1,
    kOk = 0,
    kAborted = 1,
    kUnknownFormat = 2,
    kBrokenData = 3,
    kNoMemory = 4,
    kMemoryError = 5,
    kReadError = 6,
    kInternalError = 8,
};

constexpr unsigned kInputMask = 7;
constexpr unsigned kInputFile = 0;
constexpr unsigned kInputMemory = 1;

#pragma pack(push, 1)
// Picture information. The 64-bit interface puts two filler bytes before the pointer-sized
// text handle, so a plug-in never writes past the record.
struct PictureInfo {
    LONG left;
    LONG top;
    LONG width;
    LONG height;
    WORD x_density;
    WORD y_density;
    SHORT colorDepth;
#ifdef _WIN64
    char dummy[2];
#endif
    HLOCAL hInfo;
};

// One member of an archive, as an archive plug-in lists it.
struct FileInfo {
    unsigned char method[8];
    ULONG_PTR position;
    ULONG_PTR compsize;
    ULONG_PTR filesize;
    LONG_PTR timestamp;
    char path[200];
    char filename[200];
    DWORD crc;
#ifdef _WIN64
    char dummy[4];
#endif
};
#pragma pack(pop)
static_assert(sizeof(PictureInfo) == (sizeof(void*) == 8 ? 32 : 26), "published layout");
static_assert(sizeof(FileInfo) == (sizeof(void*) == 8 ? 448 : 428), "published layout");

using ProgressCallback = int(WINAPI*)(int num, int denom, LONG_PTR data);

} // namespace tovn::susie
