// IFJPEG.SPI: JPEG pictures through libjpeg-turbo, with cheap reduced previews.
#include "jpeg.h"
#include "susie/plugin.h"

namespace tovn::susie {

const Plugin& ThisPlugin() {
    static const Plugin plugin{"IFJPEG.SPI 1.0: JPEG pictures through libjpeg-turbo (Tovane 32)",
                               {{"*.JPG;*.JPEG;*.JPE;*.JFIF", "JPEG picture"}},
                               jpeg::LooksLikeJpeg,
                               jpeg::Decode,
                               jpeg::Describe,
                               jpeg::DecodeReduced};
    return plugin;
}

} // namespace tovn::susie
