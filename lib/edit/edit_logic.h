// The text overlay editor's rules that need no window: the settings of the "Edit" section,
// the 8-pixel range selection and its captions, the mesh, the text line positions and the
// conversion batch.
#pragma once
#include "core/batch_word.h"
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tovn {

// The "Edit" settings; colours are the toolkit's 32-bit colour values.
struct EditSettings {
    int StartX = 48;
    int StartY = 302;
    int EndX = 591;
    int EndY = 375;
    int Gyoukan = 4;
    int32_t Nuri = 1;
    int32_t Ami = 2;
    int32_t Mozi = 3;
    int32_t Kage = 4;
    bool bNuri = true;
    bool bAmi = true;
    bool bMozi = true;
    bool bKage = true;
    bool bHanni = true;
};

// Every coordinate of a text rectangle lies in 0..kMaxCoordinate, the last pixel of the
// widest picture a loader accepts (the last pixel of its 8-pixel column too), so that no
// width, height or snapped edge computed from a stored value can overflow.
constexpr int kMaxCoordinate = (1 << 24) - 1;
// The line spacing the editor's up-down offers.
constexpr int kMinGyoukan = 0, kMaxGyoukan = 100;
// Brings the rectangle's coordinates and the line spacing into those ranges.
void ClampToRanges(EditSettings& s);

// The 14 keys in their fixed order, with the values as stored (booleans as 1 or 0).
std::vector<std::pair<const wchar_t*, long long>> EditSettingsEntries(const EditSettings& s);
// Reads every key through lookup (false: the key is missing or not a number), with defaults,
// each value in its range.
EditSettings EditSettingsFrom(const std::function<bool(const wchar_t* key, long long& v)>& lookup);

// A rectangle that does not lie inside this picture (stored for a larger one, reaching left
// of or above it, or with its end before its start) becomes 10 %-90 % x 50 %-90 % of it.
void FitTextRect(EditSettings& s, int width, int height);

// The selection's column grid: starts on a multiple of 8, ends on a column's last pixel.
int SnapStartX(int x);
int SnapEndX(int x);

struct DragRect {
    int startX = 0, startY = 0, endX = 0, endY = 0;
};
// A drag begun at (x, y): the end lies 2 pixels above and left of the start.
DragRect StartDrag(int x, int y);
// The end follows the mouse: never left of the start, at least 22 pixels high, inside the
// picture, then widened to the last pixel of its column.
void DragTo(DragRect& r, int x, int y, int pictureWidth, int pictureHeight);

std::wstring StartCaption(int x, int y);                   // "( 48,300)-"
std::wstring RangeCaption(int sx, int sy, int ex, int ey); // "( 48,300)-(591,375)"

// Top of text line i (0..5).
int LineTop(int i, int startY, int gyoukan);
constexpr int kTextLines = 6;

// The 45-degree mesh lines, each drawn from (x0, y0) up to but not including (x1, y1),
// over the rectangle whose right and bottom edges are not included, clipped to the picture
// of width x height: never more lines than the picture has columns and rows, whatever the
// rectangle, and the chequer stays anchored at the rectangle's corner.
struct Segment {
    int x0, y0, x1, y1;
};
std::vector<Segment> MeshLines(int sx, int sy, int ex, int ey, int width, int height);
// The pixel the mesh colours: an even distance from the rectangle's top-left corner.
bool MeshPixel(int x, int y, int sx, int sy);

// The name up to its first ".".
std::wstring BaseBeforeFirstDot(const std::wstring& name);
// What the MAG conversion batch names, each in the forms it may be written in.
struct ConvertPlaces {
    NameForms folder;                 // BatchFolder of the current folder
    NameForms encoder;                // the program folder's "MG"
    NameForms bitmap;                 // the BMP file's name in the current folder
    NameForms backupPath, bitmapPath; // the ".BAK" and ".BMP" files' full paths
};
// The lines of the MAG conversion batch; nothing when one of its names cannot reach the
// interpreter exactly.
std::optional<std::vector<std::wstring>> ConvertBatchLines(const ConvertPlaces& places);

} // namespace tovn
