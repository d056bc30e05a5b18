#include "read/song_length.h"
#include "tune.h"
#include "tune_model.h"

namespace pxtone {

TuneInfo tune_info(const Tune &t) {
    TuneInfo info;
    info.beat_num = t.master.beat_num;
    info.beat_tempo = t.master.tempo;
    info.beat_clock = t.master.beat_clock;
    const int64_t meas = measure_ticks(t.master);
    info.meas_num = int32_t((int64_t(t.end_clock) + meas - 1) / meas);
    return info;
}

}  // namespace pxtone
