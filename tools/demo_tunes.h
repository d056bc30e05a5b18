// demo_tunes: the tunes of the demo folder, each built in code by its own
// file (demo_tune_*.cpp). Building a tune is deterministic.
#ifndef DEMO_TUNES_H
#define DEMO_TUNES_H

#include <vector>

#include "tune_builder.h"

namespace demo {

tune_builder::Song amber_lanterns();      // F major, 100 bpm, lead with echo, band
tune_builder::Song brindle_waltz();       // A minor waltz, music box (PCM) and reed
tune_builder::Song copper_kettle_reel();  // D major reel, 152 bpm, chip lead (.pttune)
tune_builder::Song firefly_lullaby();     // G major, 72 bpm, bells and pad

struct DemoTune {
    const char *file;
    tune_builder::Song (*make)();
};

// Every demo tune with its file name, in list order.
const std::vector<DemoTune> &demo_tunes();

}  // namespace demo

#endif
