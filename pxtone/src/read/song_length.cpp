#include "read/song_length.h"

#include <algorithm>

#include "tune_limits.h"

namespace pxtone {

bool measure_song(Tune &t) {
    int64_t notes_end = 0;
    for (const Event &e : t.events)
        if (e.kind == EV_ON) notes_end = std::max(notes_end, int64_t(e.clock) + std::max(e.value, 0));
    const int64_t meas = measure_ticks(t.master);
    int64_t end = t.master.last_clock > 0 ? t.master.last_clock
                                          : (notes_end + meas - 1) / meas * meas;
    double seconds = double(end) * 60.0 / (double(t.master.tempo) * t.master.beat_clock);
    if (end > 0x7fffffff || seconds > double(MAX_SONG_SECONDS)) return false;
    t.notes_end_clock = int32_t(std::min<int64_t>(notes_end, 0x7fffffff));
    t.end_clock = int32_t(end);
    t.repeat_clock = t.master.repeat_clock < t.end_clock ? t.master.repeat_clock : 0;
    return true;
}

}  // namespace pxtone
