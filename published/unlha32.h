// The published records of the common archiver interface, packed as they are published.
// One definition for the library and for the program that binds it.
#pragma once
#include <windows.h>

#define FNAME_MAX32 512

#pragma pack(push, 1)
typedef struct {
    DWORD dwOriginalSize;
    DWORD dwCompressedSize;
    DWORD dwCRC;
    UINT uFlag;
    UINT uOSType;
    WORD wRatio;
    WORD wDate;
    WORD wTime;
    char szFileName[FNAME_MAX32 + 1];
    char dummy1[3];
    char szAttribute[8];
    char szMode[8];
} INDIVIDUALINFO;
#pragma pack(pop)
static_assert(sizeof(INDIVIDUALINFO) == 558, "published layout");

typedef HGLOBAL HARC;
