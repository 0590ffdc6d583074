#include "imaging/dib.h"
#include "imaging/pi.h"

// Any input either fails cleanly or gives a picture whose blocks can be built.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tovn::imaging::Decoded d = tovn::imaging::DecodePi(data, size);
    if (d.status == tovn::imaging::Status::Ok) {
        tovn::imaging::DibInfo(d.picture);
        tovn::imaging::DibBits(d.picture);
    }
    return 0;
}
