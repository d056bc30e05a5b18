#include "output/stream_fade.h"

namespace pxtone {

void StreamFade::apply(int16_t *samples, int frames, int channels) {
    for (int f = 0; f < frames && !done(); f++, done_++) {
        for (int c = 0; c < channels; c++) {
            int16_t &s = samples[f * channels + c];
            s = int16_t(int64_t(s) * done_ / length_);
        }
    }
}

int64_t fade_frames(int32_t msec, int rate) {
    const int32_t MAX_FADE_MSEC = 60000;
    if (msec <= 0) return 0;
    if (msec > MAX_FADE_MSEC) msec = MAX_FADE_MSEC;
    return int64_t(msec) * rate / 1000;
}

}  // namespace pxtone
