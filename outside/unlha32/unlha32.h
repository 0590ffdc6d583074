#pragma once
// The published structures of the common archiver interface, packed as they are published.
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

typedef HGLOBAL HARC;

#define M_CHECK_ALL_PATH 0x00000100UL
#define M_CHECK_FILENAME_ONLY 0x00000200UL
#define M_RECOVERY_ON 0x08000000UL

#define CHECKARCHIVE_RAPID 0
#define CHECKARCHIVE_BASIC 1
#define CHECKARCHIVE_FULLCRC 2

#define UNLHA_ERROR_ALREADY_RUNNING 0x801F
#define UNLHA_ERROR_HARC_ISNOT_OPENED 0x8021
#define UNLHA_ERROR_NOT_SEARCH_MODE 0x8022
