// The published import plug-in interface: entry points, structures and result codes.
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
struct PictureInfo {
    LONG left;
    LONG top;
    LONG width;
    LONG height;
    WORD x_density;
    WORD y_density;
    SHORT colorDepth;
#ifdef _WIN64
    char dummy[2]; // the 64-bit layout aligns the handle
#endif
    HLOCAL hInfo;
};
#pragma pack(pop)
#ifdef _WIN64
static_assert(sizeof(PictureInfo) == 32, "64-bit PictureInfo layout");
#else
static_assert(sizeof(PictureInfo) == 26, "32-bit PictureInfo layout");
#endif

using ProgressCallback = int(WINAPI*)(int num, int denom, LONG_PTR data);

} // namespace tovn::susie

extern "C" {
int WINAPI GetPluginInfo(int infono, LPSTR buf, int buflen);
int WINAPI IsSupported(LPCSTR filename, void* dw);
int WINAPI GetPictureInfo(LPCSTR buf, LONG_PTR len, unsigned int flag,
                          tovn::susie::PictureInfo* lpInfo);
int WINAPI GetPicture(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL* pHBInfo, HLOCAL* pHBm,
                      tovn::susie::ProgressCallback lpPrgressCallback, LONG_PTR lData);
int WINAPI GetPreview(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL* pHBInfo, HLOCAL* pHBm,
                      tovn::susie::ProgressCallback lpPrgressCallback, LONG_PTR lData);
}
