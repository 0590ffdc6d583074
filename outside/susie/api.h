// The published import plug-in interface: entry points, structures and result codes.
#pragma once
#include <windows.h>

#include "published/susie.h"

extern "C" {
int WINAPI GetPluginInfo(int infono, LPSTR buf, int buflen);
int WINAPI IsSupported(LPCSTR filename, void* dw);
int WINAPI GetPictureInfo(LPCSTR buf, LONG_PTR len, unsigned int flag,
                          tovn::susie::PictureInfo* lpInfo);
int WINAPI GetPicture(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL* pHBInfo, HLOCAL* pHBm,
                      tovn::susie::ProgressCallback lpPrgressCallback, LONG_PTR lData);
int WINAPI GetPreview(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL* pHBInfo, HLOCAL* pHBm,
                      tovn::susie::ProgressCallback lpPrgressCallback, LONG_PTR lData);
void WINAPI SetPreviewSide(int side);
int WINAPI IsConcurrent(void);
}
