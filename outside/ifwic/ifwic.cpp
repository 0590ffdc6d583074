// IFWIC.SPI: PNG, GIF, TIFF and ICO pictures through the Windows Imaging Component (JPEG
// is IFJPEG's, which can decode reduced previews).
#include "susie/plugin.h"
#include "wic.h"

namespace tovn::susie {

const Plugin& ThisPlugin() {
    static const Plugin plugin{"IFWIC.SPI 1.0: pictures through WIC (Tovane 32)",
                               {{"*.PNG", "PNG picture"},
                                {"*.GIF", "GIF picture"},
                                {"*.TIF;*.TIFF", "TIFF picture"},
                                {"*.ICO", "Icon"}},
                               LooksLikeWicPicture,
                               DecodeWithWic,
                               DescribeWithWic,
                               PreviewWithWic};
    return plugin;
}

} // namespace tovn::susie
