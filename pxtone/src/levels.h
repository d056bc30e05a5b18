// Level laws and fades of the mixer, as measured against the editor's
// recordings (see the engine README for the evidence).
#ifndef PXTONE_LEVELS_H
#define PXTONE_LEVELS_H

namespace pxtone {

// Scale from the sum of units (a full 128/128 ptvoice sine layer = 1.0) to
// full-scale 16-bit output.
constexpr float OUTPUT_GAIN = 0.95f;
// A noise voice (sum of its units at their own volumes) relative to a
// ptvoice layer of volume 128.
constexpr float NOISE_GAIN = 0.508f;
// Sampled voices (PCM, Ogg) relative to a ptvoice layer of volume 128.
constexpr float SAMPLE_GAIN = 1.0f;

// Unit volume and note velocity: linear, 128 = full.
constexpr float VOLUME_FULL = 128.0f;
constexpr float VELOCITY_FULL = 128.0f;

// A note cut by the next note of its unit fades out over this time.
constexpr double CUT_FADE_SECONDS = 0.002;
// Sampled and noise voices have no release of their own. On smooth voices
// they fade out linearly over the last this-much of the note and are silent
// from its end: the editor's clean WAV of a looped 8-bit square with 16 ms
// notes falls from full to nothing over the 175 frames before each end.
constexpr double SAMPLE_FADE_OUT_SECONDS = 0.004;
// A note's attack fades in over this time on smooth voices.
constexpr double SMOOTH_ATTACK_SECONDS = 0.0;

}  // namespace pxtone

#endif
