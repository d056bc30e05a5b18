// The basic waves of ptnoise oscillators. Types 1 (sine), 2 (saw), 4
// (random) and 6 (overtone square) were measured against recordings; the
// others are best guesses from their place in the list and sound like their
// names.
#ifndef PXTONE_NOISE_WAVE_H
#define PXTONE_NOISE_WAVE_H

#include <cstdint>

namespace pxtone {

enum NoiseWaveType : int32_t {
    NOISE_NONE = 0,
    NOISE_SINE = 1,
    NOISE_SAW = 2,     // falling: +1 at phase 0
    NOISE_RECT = 3,
    NOISE_RANDOM = 4,  // the random sequence, one value per cycle, interpolated
    NOISE_SAW2 = 5,
    NOISE_RECT2 = 6,   // odd harmonics 1..15 at 1/h: a rounded square, +pi/4 first
    NOISE_TRIANGLE = 7,
    NOISE_RANDOM2 = 8,  // the same sequence, held (not interpolated)
    NOISE_RECT3 = 9,    // pulses of 1/3, 1/4, 1/8 and 1/16 duty
    NOISE_RECT4 = 10,
    NOISE_RECT8 = 11,
    NOISE_RECT16 = 12,
    NOISE_SAW3 = 13,    // saws in 3, 4 and 6 steps
    NOISE_SAW4 = 14,
    NOISE_SAW6 = 15,
};

bool noise_is_random(int32_t type);

// A periodic wave's value at `phase` (cycles; any value, also negative).
// About -1..1. Random and unknown types are silent here.
double noise_wave(int32_t type, double phase);

// The random waves all read one fixed sequence, uniform over -1..1, whose
// value 0 is 0: value k of it.
double noise_random_value(int64_t k);

// Where in the sequence a random oscillator of phase offset `offset` (1.0 =
// one period) starts: offset 0 at value 0, any other offset far from it.
int64_t noise_random_start(double offset);

// A random wave `cycles` after its start: value `start + floor(cycles)`,
// moving linearly to the next one over the cycle (type 4) or held (type 8).
double noise_random_wave(int32_t type, double cycles, int64_t start);

}  // namespace pxtone

#endif
