// Where the main window opens: the stored bounds, clamped to the screen, or the default
// placement when the result would be too narrow.
#pragma once

namespace tovn {

struct Bounds {
    int left = 50, top = 50, width = 440, height = 300;
};

Bounds PlaceWindow(const Bounds& stored, int screenWidth, int workAreaHeight);

} // namespace tovn
