// The delay effect: units of one group feed a delay line whose output,
// scaled by the echo level, is fed back into it and added to the mix.
// All memory is allocated at construction; processing never allocates.
#ifndef PXTONE_DELAY_EFFECT_H
#define PXTONE_DELAY_EFFECT_H

#include <cstdint>
#include <vector>

#include "tune_model.h"

namespace pxtone {

class DelayEffect {
public:
    DelayEffect(const Delay &d, const Master &m, int rate);
    int32_t group() const { return group_; }
    // Frames after which an input has died away below a float's precision.
    int64_t memory_frames() const { return memory_; }
    int64_t delay_frames() const { return int64_t(line_left_.size()); }
    float feedback() const { return feedback_; }
    // Empties the line. `frame` is the output frame mixing goes on from: the
    // line's pass boundaries fall where they would from frame 0, so the
    // echoes' bound (and with it where a ring-out ends) does not depend on
    // where a seek started mixing.
    void reset(int64_t frame = 0);
    // A bound on the largest echo still to come out of the line.
    float loudest() const;
    void clear_input(int frames);
    void add_input(const float *left, const float *right, int frames);
    // Adds the echoes for the next `frames` frames into left/right.
    void process(float *left, float *right, int frames);

private:
    int32_t group_;
    float feedback_;
    int64_t memory_ = 0;
    size_t at_ = 0;
    // Largest value written in this pass through the line and the last one:
    // together they bound everything the line holds.
    float pass_peak_ = 0.0f, last_pass_peak_ = 0.0f;
    std::vector<float> line_left_, line_right_, in_left_, in_right_;
};

// Delay time in seconds for the block's fields at the song's tempo.
double delay_seconds(const Delay &d, const Master &m);

}  // namespace pxtone

#endif
