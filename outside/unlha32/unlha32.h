#pragma once
// The published structures of the common archiver interface, packed as they are published.
#include <windows.h>

#include "published/unlha32.h"

#define M_CHECK_ALL_PATH 0x00000100UL
#define M_CHECK_FILENAME_ONLY 0x00000200UL
#define M_RECOVERY_ON 0x08000000UL

#define CHECKARCHIVE_RAPID 0
#define CHECKARCHIVE_BASIC 1
#define CHECKARCHIVE_FULLCRC 2

#define UNLHA_ERROR_ALREADY_RUNNING 0x801F
#define UNLHA_ERROR_HARC_ISNOT_OPENED 0x8021
#define UNLHA_ERROR_NOT_SEARCH_MODE 0x8022
