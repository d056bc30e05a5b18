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

// A note cut short (the song ends, or jumps back to its repeat position)
// fades out over this time.
constexpr double CUT_FADE_SECONDS = 0.002;
// A note falls silent at the end of its release (sampled and noise voices
// have none: at key-off), or where its unit's next note starts if that
// comes first. Smooth voices fade out linearly over the last this-much
// before that point: in the editor's clean WAVs a ptvoice note followed at
// once by the next falls from full to nothing over the 176 frames before
// the next begins, and a looped 8-bit square with 16 ms notes does the same
// before each note's end.
constexpr double END_FADE_SECONDS = 0.004;
// A note's attack fades in over this time on smooth voices.
constexpr double SMOOTH_ATTACK_SECONDS = 0.0;

}  // namespace pxtone

#endif
