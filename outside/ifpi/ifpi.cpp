// IFPI.SPI: Pi pictures.
#include "imaging/pi.h"
#include "susie/plugin.h"

namespace tovn::susie {

const Plugin& ThisPlugin() {
    static const Plugin plugin{"IFPI.SPI 1.0: Pi pictures (Tovane 32)",
                               {{"*.PI", "Pi picture"}},
                               imaging::LooksLikePi,
                               imaging::DecodePi};
    return plugin;
}

} // namespace tovn::susie
