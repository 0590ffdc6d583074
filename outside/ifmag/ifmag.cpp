// IFMAG.SPI: MAG and MKI pictures.
#include "imaging/mag.h"
#include "imaging/mki.h"
#include "susie/plugin.h"

namespace tovn::susie {
namespace {

bool Accepts(const uint8_t* head, size_t size) {
    return imaging::IsMag(head, size) || imaging::IsMki(head, size);
}

imaging::Decoded Decode(const uint8_t* data, size_t size) {
    return imaging::IsMki(data, size) ? imaging::DecodeMki(data, size)
                                      : imaging::DecodeMag(data, size);
}

} // namespace

const Plugin& ThisPlugin() {
    static const Plugin plugin{"IFMAG.SPI 1.0: MAG and MKI pictures (Tovane 32)",
                               {{"*.MAG", "MAG picture"}, {"*.MKI", "MKI picture"}},
                               Accepts,
                               Decode};
    return plugin;
}

} // namespace tovn::susie
