// A ptnoise design: a one-shot sound made of a few units, each an
// oscillator with an envelope, optionally bent by a frequency modulator and
// an amplitude modulator. Read from "matePTN " blocks, then synthesised once
// into a sample at NOISE_RATE.
#ifndef PXTONE_NOISE_DESIGN_H
#define PXTONE_NOISE_DESIGN_H

#include <cstdint>
#include <vector>

#include "read/byte_reader.h"
#include "tune_model.h"

namespace pxtone {

constexpr double NOISE_RATE = 44100.0;

struct NoiseOsc {
    int32_t type = 0;  // wave type, see noise_wave.h
    bool reverse = false;
    double freq_hz = 0.0;
    double volume = 0.0;  // 1.0 = 100 %
    double offset = 0.0;  // phase offset, 1.0 = one period
};

struct NoiseUnit {
    struct Point {
        double seconds;
        double level;  // 1.0 = 100 %
    };
    std::vector<Point> envelope;
    int32_t pan = 0;  // -100 (left) .. 100 (right)
    bool has_main = false;
    NoiseOsc main;
    bool has_fm = false;
    NoiseOsc fm;
    bool has_am = false;
    NoiseOsc am;
};

struct NoiseDesign {
    uint32_t samples = 0;  // length in NOISE_RATE samples
    std::vector<NoiseUnit> units;
};

// The ptnoise data itself (as in a ".ptnoise" file).
bool read_noise_design(ByteReader r, NoiseDesign &design);

// Renders the design into a sample: mono, or stereo when a unit is panned.
Sample synthesise_noise(const NoiseDesign &design);

}  // namespace pxtone

#endif
