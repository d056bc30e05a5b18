#include "effects/overdrive_effect.h"

#include <algorithm>
#include <cmath>

#include "levels.h"

namespace pxtone {

// "Cut" is the share of full scale cut off: a cut of 90 % clips the group's
// sum at 10 % of 16-bit full scale, and the amp multiplies what is left.
OverdriveEffect::OverdriveEffect(const Overdrive &o) : group_(o.group) {
    const float cut = std::isfinite(o.cut_percent) ? std::clamp(o.cut_percent, 0.0f, 100.0f) : 0.0f;
    amp_ = std::isfinite(o.amp) ? std::clamp(o.amp, 0.0f, OVERDRIVE_MAX_AMP) : 1.0f;
    clip_ = (100.0f - cut) / 100.0f / OUTPUT_GAIN;
}

void OverdriveEffect::process(float *left, float *right, int frames) const {
    for (int i = 0; i < frames; i++) {
        left[i] = std::clamp(left[i], -clip_, clip_) * amp_;
        right[i] = std::clamp(right[i], -clip_, clip_) * amp_;
    }
}

}  // namespace pxtone
