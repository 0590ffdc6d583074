#include "imaging/dib.h"
#include "imaging/mag.h"

using namespace tovn::imaging;

// Any input either fails cleanly or gives a picture whose blocks can be built, and every
// picture decoded from it survives our own encoder unchanged.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Decoded d = DecodeMag(data, size);
    if (d.status != Status::Ok) return 0;
    DibInfo(d.picture);
    DibBits(d.picture);
    std::vector<uint8_t> again = EncodeMag(d.picture);
    if (again.empty()) __builtin_trap();
    Decoded back = DecodeMag(again.data(), again.size());
    if (back.status != Status::Ok || back.picture.pixels != d.picture.pixels ||
        back.picture.left != d.picture.left || back.picture.top != d.picture.top ||
        back.picture.width != d.picture.width || back.picture.tallDots != d.picture.tallDots)
        __builtin_trap();
    return 0;
}
