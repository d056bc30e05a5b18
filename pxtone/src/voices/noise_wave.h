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

// The values a random oscillator reads, as the editor draws them: value 0
// is 0, value k (k >= 1) the k-th draw of a 16-bit additive generator whose
// sum is stored byte-swapped (next = swap(last + previous), from last 0x4444
// and previous 0x8888), read as a signed 16-bit fraction of -1..1. One cycle
// of the generator holds 3,471,092,385 draws. An oscillator at offset 0
// reads from value 0; an offset moves its start OFFSET_SPAN draws along per
// period (row 60's recording: its unit at 1 % starts 441 draws along).
//
// Reading forward costs one draw a value. A read more than
// MAX_DRAWS_PER_READ values past the one before draws only that many and
// takes the last as the value asked for: only a wave at over 8 x 44.1 kHz
// moves so fast (none in the corpus goes above 44.1 kHz), and what it reads
// there is noise either way, so a hostile design's synthesis costs at most
// a few draws a sample. A read behind the last restarts the draws.
class NoiseRandom {
public:
    static constexpr int64_t MAX_DRAWS_PER_READ = 8;
    // Draws an offset of one whole period moves the start along.
    static constexpr int64_t OFFSET_SPAN = 44100;

    explicit NoiseRandom(double offset);
    double value(int64_t k);
    // The wave `cycles` after its start: value floor(cycles), moving
    // linearly to the next one over the cycle (type 4) or held (type 8).
    double wave(int32_t type, double cycles);

private:
    void restart();
    void step();
    int64_t start_;
    int64_t drawn_ = 0;  // draws made since the start
    uint16_t last_ = 0, previous_ = 0;
};

}  // namespace pxtone

#endif
