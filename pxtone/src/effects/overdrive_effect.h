// The overdrive effect: the sum of one group's units is clipped at a level
// and then amplified. Stateless from sample to sample; never allocates.
#ifndef PXTONE_OVERDRIVE_EFFECT_H
#define PXTONE_OVERDRIVE_EFFECT_H

#include <cstdint>

#include "tune_model.h"

namespace pxtone {

class OverdriveEffect {
public:
    // Any field values are accepted: the cut is taken within 0..100 %, the
    // amp within 0..OVERDRIVE_MAX_AMP, and a non-finite one as no change.
    explicit OverdriveEffect(const Overdrive &o);
    int32_t group() const { return group_; }
    // Clips and amplifies `frames` frames of the group's sum in place.
    void process(float *left, float *right, int frames) const;

private:
    int32_t group_;
    float clip_;  // in mix units (1.0 = a full ptvoice sine layer)
    float amp_;
};

constexpr float OVERDRIVE_MAX_AMP = 100.0f;

}  // namespace pxtone

#endif
