// IFWIC.SPI: PNG, JPEG, GIF, TIFF and ICO pictures through the Windows Imaging Component.
#include "susie/plugin.h"
#include "wic.h"

namespace tovn::susie {

const Plugin& ThisPlugin() {
    static const Plugin plugin{"IFWIC.SPI 1.0: pictures through WIC (Tovane 32)",
                               {{"*.PNG", "PNG picture"},
                                {"*.JPG;*.JPEG", "JPEG picture"},
                                {"*.GIF", "GIF picture"},
                                {"*.TIF;*.TIFF", "TIFF picture"},
                                {"*.ICO", "Icon"}},
                               LooksLikeWicPicture,
                               DecodeWithWic,
                               DescribeWithWic};
    return plugin;
}

} // namespace tovn::susie
