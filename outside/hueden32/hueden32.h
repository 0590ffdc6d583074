// HUEDEN32.DLL: reduces a picture held as a device-independent bitmap to 256 colours.
#pragma once
#include <windows.h>

// Huedenize reads the DIB whose header block (BITMAPINFOHEADER, masks, colour table) and
// bits block are named by *info and *bits, and returns an 8-bit DIB of the same width and
// height in two new GMEM_MOVEABLE blocks: *outInfo (40-byte header and a 256-entry colour
// table) and *outBits (the rows, bottom row first, with a positive height even when the
// input stored its rows top row first). The caller frees both.
//
//   bitCount  bits per pixel of the result; only 8 is made
//   level     4, 6 or 8: more time for less colour error
//   colors    colours the palette may use, 2..256 (the table always has 256 entries)
//   reserved  ignored (callers pass 8192)
//   flags     bit 0: error diffusion (dithering)
//   unused1, unused2  ignored (callers pass 0)
//
// Returns TRUE on success. On failure (a damaged or unsupported picture, bad arguments, not
// enough memory) returns FALSE and sets *outInfo and *outBits to NULL.
typedef BOOL(WINAPI* HuedenizeProc)(HGLOBAL* info, HGLOBAL* bits, HGLOBAL* outInfo,
                                    HGLOBAL* outBits, int bitCount, BYTE level, int colors,
                                    int reserved, int flags, int unused1, int unused2);
