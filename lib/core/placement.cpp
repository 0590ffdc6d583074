#include "core/placement.h"

namespace tovn {

Bounds PlaceWindow(const Bounds& stored, int screenWidth, int workAreaHeight) {
    Bounds b = stored;
    if (b.top < 0) b.top = 0;
    if (b.top > workAreaHeight) b.top = 50;
    if (b.left < 0) b.left = 0;
    if (b.left > screenWidth) b.left = 50;
    // Summed in 64 bits: a stored width or height near the int limit must not wrap.
    if (static_cast<long long>(b.left) + b.width > screenWidth) b.width = screenWidth - b.left;
    if (static_cast<long long>(b.top) + b.height > workAreaHeight)
        b.height = workAreaHeight - b.top;
    if (b.width < 440) return Bounds{};
    return b;
}

} // namespace tovn
