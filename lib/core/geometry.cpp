#include "core/geometry.h"

namespace tovn {

bool UsesScreenPlacement(const std::wstring& upperExtension, int width, int height) {
    return upperExtension == L".MAG" && static_cast<long long>(width) * height < 256000;
}

// Every conversion to whole pixels truncates toward zero; the scale is single precision.
PictureBox ScreenPlacement(int width, int height, int left, int top, int column, int row,
                           int cellWidth, int cellHeight) {
    float sx = static_cast<float>(cellWidth) / 640.0f;
    float sy = static_cast<float>(cellHeight) / 400.0f;
    PictureBox b;
    b.scale = sx <= sy ? sx : sy;
    b.w = static_cast<int>(width * b.scale);
    b.h = static_cast<int>(height * b.scale);
    b.x =
        static_cast<int>(left * b.scale + column * cellWidth + (cellWidth - 640 * b.scale) * 0.5f);
    b.y = static_cast<int>(top * b.scale + row * cellHeight + (cellHeight - 400 * b.scale) * 0.5f);
    return b;
}

PictureBox FitPlacement(int width, int height, int column, int row, int cellWidth, int cellHeight) {
    PictureBox b;
    if (width <= 0 || height <= 0) return b;
    float sx = static_cast<float>(cellWidth) / width;
    float sy = static_cast<float>(cellHeight) / height;
    b.scale = sx <= sy ? sx : sy;
    b.w = static_cast<int>(width * b.scale);
    b.h = static_cast<int>(height * b.scale);
    b.x = static_cast<int>((column + 0.5f) * cellWidth - b.w * 0.5f);
    b.y = static_cast<int>((row + 0.5f) * cellHeight - b.h * 0.5f);
    return b;
}

} // namespace tovn
