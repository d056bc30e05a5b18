// Fade-in applied to the first frames of a started tune.
#ifndef PXTONE_STREAM_FADE_H
#define PXTONE_STREAM_FADE_H

#include <cstdint>

namespace pxtone {

// A linear rise from silence to full level over `length` frames: frame k of
// the fade (counting from 0) is scaled by k / length. Length 0 is no fade.
// Not thread-safe: owned by the stream, used under its lock.
class StreamFade {
public:
    StreamFade() = default;
    explicit StreamFade(int64_t length) : length_(length > 0 ? length : 0) {}

    // Scales `frames` interleaved frames in place and moves the fade on.
    void apply(int16_t *samples, int frames, int channels);
    bool done() const { return done_ >= length_; }

private:
    int64_t length_ = 0;
    int64_t done_ = 0;
};

// Frames a fade of `msec` milliseconds lasts at `rate` (negative = 0,
// capped at one minute).
int64_t fade_frames(int32_t msec, int rate);

}  // namespace pxtone

#endif
