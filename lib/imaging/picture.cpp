#include "imaging/picture.h"

namespace tovn::imaging {

Picture MakePicture(int64_t width, int64_t height, int bitsPerPixel, uint64_t maxPixels) {
    if (width <= 0 || height <= 0 || static_cast<uint64_t>(width) * height > maxPixels)
        throw BrokenData();
    Picture p;
    p.width = static_cast<int>(width);
    p.height = static_cast<int>(height);
    p.bitsPerPixel = bitsPerPixel;
    size_t perPixel = bitsPerPixel == 24 ? 3 : 1;
    p.pixels.assign(static_cast<size_t>(width * height) * perPixel, 0);
    return p;
}

} // namespace tovn::imaging
