#include "edit/edit_logic.h"
#include "core/text.h"
#include <algorithm>
#include <cwchar>
#include <limits>

namespace tovn {

void ClampToRanges(EditSettings& s) {
    for (int* c : {&s.StartX, &s.StartY, &s.EndX, &s.EndY}) *c = std::clamp(*c, 0, kMaxCoordinate);
    s.Gyoukan = std::clamp(s.Gyoukan, kMinGyoukan, kMaxGyoukan);
}

std::vector<std::pair<const wchar_t*, long long>> EditSettingsEntries(const EditSettings& s) {
    return {{L"StartX", s.StartX},   {L"StartY", s.StartY}, {L"EndX", s.EndX}, {L"EndY", s.EndY},
            {L"Gyoukan", s.Gyoukan}, {L"Nuri", s.Nuri},     {L"Ami", s.Ami},   {L"Mozi", s.Mozi},
            {L"Kage", s.Kage},       {L"bNuri", s.bNuri},   {L"bAmi", s.bAmi}, {L"bMozi", s.bMozi},
            {L"bKage", s.bKage},     {L"bHanni", s.bHanni}};
}

EditSettings EditSettingsFrom(const std::function<bool(const wchar_t*, long long&)>& lookup) {
    EditSettings s;
    // A stored number beyond 32 bits takes the nearest 32-bit value before the ranges apply.
    auto number = [&](const wchar_t* key, auto& field) {
        using Field = std::decay_t<decltype(field)>;
        long long v = 0;
        if (lookup(key, v))
            field = static_cast<Field>(std::clamp<long long>(v, std::numeric_limits<Field>::min(),
                                                             std::numeric_limits<Field>::max()));
    };
    auto flag = [&](const wchar_t* key, bool& field) {
        long long v = 0;
        if (lookup(key, v)) field = v != 0;
    };
    number(L"StartX", s.StartX);
    number(L"StartY", s.StartY);
    number(L"EndX", s.EndX);
    number(L"EndY", s.EndY);
    number(L"Gyoukan", s.Gyoukan);
    number(L"Nuri", s.Nuri);
    number(L"Ami", s.Ami);
    number(L"Mozi", s.Mozi);
    number(L"Kage", s.Kage);
    flag(L"bNuri", s.bNuri);
    flag(L"bAmi", s.bAmi);
    flag(L"bMozi", s.bMozi);
    flag(L"bKage", s.bKage);
    flag(L"bHanni", s.bHanni);
    ClampToRanges(s);
    return s;
}

void FitTextRect(EditSettings& s, int width, int height) {
    const bool inside = s.StartX >= 0 && s.StartY >= 0 && s.StartX <= s.EndX &&
                        s.StartY <= s.EndY && s.EndX <= width && s.EndY <= height;
    if (inside) return;
    s.StartX = static_cast<int>(0.1 * width);
    s.StartY = static_cast<int>(0.5 * height);
    s.EndX = static_cast<int>(0.9 * width);
    s.EndY = static_cast<int>(0.9 * height);
}

int SnapStartX(int x) {
    return x / 8 * 8;
}

int SnapEndX(int x) {
    return (x / 8 + 1) * 8 - 1;
}

DragRect StartDrag(int x, int y) {
    DragRect r;
    r.startX = SnapStartX(x);
    r.startY = y;
    r.endX = r.startX - 2;
    r.endY = y - 2;
    return r;
}

void DragTo(DragRect& r, int x, int y, int pictureWidth, int pictureHeight) {
    r.endX = std::min(std::max(x, r.startX), pictureWidth - 1);
    r.endY = std::min(std::max(y, r.startY + 21), pictureHeight - 1);
    r.endX = SnapEndX(r.endX);
}

std::wstring StartCaption(int x, int y) {
    wchar_t buf[64];
    std::swprintf(buf, 64, L"(%3d,%3d)-", x, y);
    return buf;
}

std::wstring RangeCaption(int sx, int sy, int ex, int ey) {
    wchar_t buf[64];
    std::swprintf(buf, 64, L"(%3d,%3d)-(%3d,%3d)", sx, sy, ex, ey);
    return buf;
}

int LineTop(int i, int startY, int gyoukan) {
    return startY + i * (gyoukan + 12);
}

std::vector<Segment> MeshLines(int sx, int sy, int ex, int ey, int width, int height) {
    // The part of the rectangle inside the picture, in 64 bits: the edges may lie anywhere.
    const long long left = std::max<long long>(sx, 0), top = std::max<long long>(sy, 0);
    const long long right = std::min<long long>(ex, width);
    const long long bottom = std::min<long long>(ey, height);
    std::vector<Segment> lines;
    if (left >= right || top >= bottom) return lines;
    // Lines run through the pixels at an even distance from the rectangle's own corner.
    const int odd = static_cast<int>(((left - sx) + (top - sy)) & 1);
    const int l = static_cast<int>(left), t = static_cast<int>(top);
    const int r = static_cast<int>(right), b = static_cast<int>(bottom);
    for (int x = l + odd; x < r; x += 2) {
        int n = std::min(r - x, b - t);
        lines.push_back({x, t, x + n, t + n});
    }
    for (int y = t + odd; y < b; y += 2) {
        int n = std::min(b - y, r - l);
        lines.push_back({l, y, l + n, y + n});
    }
    return lines;
}

bool MeshPixel(int x, int y, int sx, int sy) {
    return ((static_cast<long long>(x) - sx) + (static_cast<long long>(y) - sy)) % 2 == 0;
}

std::wstring BaseBeforeFirstDot(const std::wstring& name) {
    return name.substr(0, name.find(L'.'));
}

std::optional<std::vector<std::wstring>> ConvertBatchLines(const ConvertPlaces& places) {
    auto lines = FolderLines(places.folder);
    auto word = [](const NameForms& forms) { return CmdWord(forms, LineKind::Plain, false); };
    const auto encoder = word(places.encoder), bitmap = word(places.bitmap);
    const auto backupPath = word(places.backupPath), bitmapPath = word(places.bitmapPath);
    if (!lines || !encoder || !bitmap || !backupPath || !bitmapPath) return std::nullopt;
    lines->push_back(*encoder + L" .MAG " + *bitmap);
    lines->push_back(L"DEL " + *backupPath);
    lines->push_back(L"DEL " + *bitmapPath);
    return lines;
}

} // namespace tovn
