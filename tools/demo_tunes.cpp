#include "demo_tunes.h"

namespace demo {

const std::vector<DemoTune> &demo_tunes() {
    static const std::vector<DemoTune> tunes = {
        {"Amber Lanterns.ptcop", amber_lanterns},
        {"Brindle Waltz.ptcop", brindle_waltz},
        {"Copper Kettle Reel.pttune", copper_kettle_reel},
        {"Firefly Lullaby.ptcop", firefly_lullaby},
    };
    return tunes;
}

}  // namespace demo
