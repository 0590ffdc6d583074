// Where a picture is drawn inside its cell.
#pragma once
#include <string>

namespace tovn {

struct PictureBox {
    float scale = 0;
    int x = 0, y = 0, w = 0, h = 0;
};

// A MAG picture smaller than a full screen is placed at its own position (left, top) in a
// virtual 640 × 400 screen centred in the cell; every other picture is fitted to the cell
// and centred, enlarged when smaller. column/row: the cell's place in the grid.
bool UsesScreenPlacement(const std::wstring& upperExtension, int width, int height);
PictureBox ScreenPlacement(int width, int height, int left, int top, int column, int row,
                           int cellWidth, int cellHeight);
PictureBox FitPlacement(int width, int height, int column, int row, int cellWidth, int cellHeight);

} // namespace tovn
