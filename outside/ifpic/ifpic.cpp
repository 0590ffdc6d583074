// IFPIC.SPI: X68000 PIC pictures.
#include "imaging/pic.h"
#include "susie/plugin.h"

namespace tovn::susie {

const Plugin& ThisPlugin() {
    static const Plugin plugin{"IFPIC.SPI 1.0: X68000 PIC pictures (Tovane 32)",
                               {{"*.PIC", "X68000 PIC picture"}},
                               imaging::LooksLikePic,
                               imaging::DecodePic};
    return plugin;
}

} // namespace tovn::susie
