// The editor's rectangle rules on arbitrary values. Input:
//   bytes 0-3    the picture's width and height (16 bits each, at least 1)
//   bytes 4-7    a mouse drag's start and end inside the view (8 bits each, scaled)
//   bytes 8-23   a rectangle as four raw 32-bit numbers, handed to the mesh unchecked
//   then         up to 14 stored "Edit" values, 8 bytes each (a missing one is absent)
// Whatever they are: stored values come in their ranges, a fitted rectangle lies inside
// the picture, the mesh of any rectangle has at most one line per column and row of the
// picture and stays inside it, and no arithmetic overflows (UndefinedBehaviorSanitizer) or
// allocates without bound (allocation_bound.cpp).
#include "edit/edit_logic.h"
#include <cstdlib>
#include <cstring>

using namespace tovn;

namespace {

template <typename T> T Take(const uint8_t*& data, size_t& size) {
    T v{};
    const size_t n = size < sizeof v ? size : sizeof v;
    std::memcpy(&v, data, n);
    data += n, size -= n;
    return v;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

void CheckMesh(int sx, int sy, int ex, int ey, int width, int height) {
    const std::vector<Segment> lines = MeshLines(sx, sy, ex, ey, width, height);
    Check(lines.size() <= size_t(width) + size_t(height));
    for (const Segment& l : lines) {
        Check(l.x0 >= 0 && l.y0 >= 0 && l.x1 <= width && l.y1 <= height);
        Check(l.x1 - l.x0 == l.y1 - l.y0 && l.x1 > l.x0);
        Check(MeshPixel(l.x0, l.y0, sx, sy));
    }
}

void CheckInside(const EditSettings& s, int width, int height) {
    Check(0 <= s.StartX && s.StartX <= s.EndX && s.EndX <= width);
    Check(0 <= s.StartY && s.StartY <= s.EndY && s.EndY <= height);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int width = 1 + Take<uint16_t>(data, size);
    const int height = 1 + Take<uint16_t>(data, size);
    const uint8_t drag[4] = {Take<uint8_t>(data, size), Take<uint8_t>(data, size),
                             Take<uint8_t>(data, size), Take<uint8_t>(data, size)};
    int32_t raw[4];
    for (int32_t& r : raw) r = Take<int32_t>(data, size);
    CheckMesh(raw[0], raw[1], raw[2], raw[3], width, height);

    EditSettings s = EditSettingsFrom([&](const wchar_t*, long long& v) {
        if (size == 0) return false;
        v = Take<int64_t>(data, size);
        return true;
    });
    for (int c : {s.StartX, s.StartY, s.EndX, s.EndY}) Check(c >= 0 && c <= kMaxCoordinate);
    Check(s.Gyoukan >= kMinGyoukan && s.Gyoukan <= kMaxGyoukan);
    CheckMesh(s.StartX, s.StartY, s.EndX, s.EndY, width, height);
    for (int i = 0; i < kTextLines; ++i) LineTop(i, s.StartY, s.Gyoukan);
    Check(SnapEndX(s.EndX) <= kMaxCoordinate && SnapStartX(s.StartX) >= 0);
    FitTextRect(s, width, height);
    CheckInside(s, width, height);
    CheckMesh(s.StartX, s.StartY, s.EndX, s.EndY, width, height);

    // A drag over the view: the picture, at least 400 wide, and the swatch strip below it.
    const int viewWidth = width < 400 ? 400 : width, viewHeight = height + 20;
    DragRect r = StartDrag(drag[0] * (viewWidth - 1) / 255, drag[1] * (viewHeight - 1) / 255);
    DragTo(r, drag[2] * (viewWidth - 1) / 255, drag[3] * (viewHeight - 1) / 255, width, height);
    EditSettings dragged = s;
    dragged.StartX = r.startX, dragged.StartY = r.startY, dragged.EndX = r.endX,
    dragged.EndY = r.endY;
    FitTextRect(dragged, width, height);
    CheckInside(dragged, width, height);
    return 0;
}
