// Conversion between song ticks and output frames at one rate.
#ifndef PXTONE_SONG_CLOCK_H
#define PXTONE_SONG_CLOCK_H

#include <cmath>
#include <cstdint>

#include "tune_model.h"

namespace pxtone {

class SongClock {
public:
    SongClock(const Master &m, int rate)
        : frames_per_tick_(double(rate) * 60.0 / (double(m.tempo) * m.beat_clock)) {}
    // The frame at which tick `clock` starts (rounded to the nearest frame).
    int64_t frame_of(int64_t clock) const {
        return int64_t(std::floor(double(clock) * frames_per_tick_ + 0.5));
    }
    // The tick sounding at `frame`.
    int32_t tick_of(int64_t frame) const {
        return int32_t(std::floor(double(frame) / frames_per_tick_ + 1e-9));
    }
    double frames_per_tick() const { return frames_per_tick_; }

private:
    double frames_per_tick_;
};

}  // namespace pxtone

#endif
