#include "core/placement.h"

namespace tovn {

Bounds PlaceWindow(const Bounds& stored, int screenWidth, int workAreaHeight) {
    Bounds b = stored;
    if (b.top < 0) b.top = 0;
    if (b.top > workAreaHeight) b.top = 50;
    if (b.left < 0) b.left = 0;
    if (b.left > screenWidth) b.left = 50;
    if (b.left + b.width > screenWidth) b.width = screenWidth - b.left;
    if (b.top + b.height > workAreaHeight) b.height = workAreaHeight - b.top;
    if (b.width < 440) return Bounds{};
    return b;
}

} // namespace tovn
