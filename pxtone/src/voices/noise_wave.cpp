#include "voices/noise_wave.h"

#include <cmath>

namespace pxtone {

double noise_random_value(int64_t k, uint32_t sequence) {
    // A 32-bit integer hash of the index: the same value for the same k on
    // every note and every build, uniform over -1..1. Sequence s starts
    // s * 2^28 values along.
    uint32_t x = (uint32_t(k) + (sequence << 28)) ^ 0x9e3779b9u;
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return double(x) / 2147483648.0 - 1.0;
}

static double stepped_saw(double p, int steps) {
    double s = std::floor(p * steps) / (steps - 1);
    return 1.0 - 2.0 * s;
}

double noise_wave(int32_t type, double phase, uint32_t sequence) {
    const double cycle = std::floor(phase);
    const double p = phase - cycle;  // 0..1
    switch (type) {
    case NOISE_SINE: return std::sin(2.0 * M_PI * p);
    case NOISE_SAW: return 1.0 - 2.0 * p;
    case NOISE_RECT:
    case NOISE_RECT2: return p < 0.5 ? 1.0 : -1.0;
    case NOISE_RANDOM: {
        int64_t k = int64_t(cycle);
        double a = noise_random_value(k, sequence), b = noise_random_value(k + 1, sequence);
        return a + (b - a) * p;
    }
    case NOISE_SAW2: return 2.0 * p - 1.0;
    case NOISE_TRIANGLE: return p < 0.25 ? 4.0 * p : p < 0.75 ? 2.0 - 4.0 * p : 4.0 * p - 4.0;
    case NOISE_RANDOM2: return noise_random_value(int64_t(cycle), sequence);
    case NOISE_RECT3: return p < 1.0 / 3 ? 1.0 : -1.0;
    case NOISE_RECT4: return p < 1.0 / 4 ? 1.0 : -1.0;
    case NOISE_RECT8: return p < 1.0 / 8 ? 1.0 : -1.0;
    case NOISE_RECT16: return p < 1.0 / 16 ? 1.0 : -1.0;
    case NOISE_SAW3: return stepped_saw(p, 3);
    case NOISE_SAW4: return stepped_saw(p, 4);
    case NOISE_SAW6: return stepped_saw(p, 6);
    default: return 0.0;
    }
}

}  // namespace pxtone
