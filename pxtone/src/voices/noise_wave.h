// The basic waves of ptnoise oscillators, as functions of the phase in
// cycles. Types 1 (sine), 2 (saw), 4 (random) and 6 (overtone square) were
// measured against recordings; the others are best guesses from their place
// in the list and sound like their names.
#ifndef PXTONE_NOISE_WAVE_H
#define PXTONE_NOISE_WAVE_H

#include <cstdint>

namespace pxtone {

enum NoiseWaveType : int32_t {
    NOISE_NONE = 0,
    NOISE_SINE = 1,
    NOISE_SAW = 2,     // falling: +1 at phase 0
    NOISE_RECT = 3,
    NOISE_RANDOM = 4,  // fixed sequence, one value per cycle, interpolated
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

// The wave's value at `phase` (cycles since the note began; any value, also
// negative). About -1..1. Unknown types are silent. Random waves read
// random sequence `sequence` (each unit of a design has its own).
double noise_wave(int32_t type, double phase, uint32_t sequence);

// The fixed pseudo-random sequences behind the random waves: value k of
// sequence `sequence`, in -1..1. Sequences 0..7 never overlap within 2^28
// values (100 minutes at 44.1 kHz).
double noise_random_value(int64_t k, uint32_t sequence);

}  // namespace pxtone

#endif
