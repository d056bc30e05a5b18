#include "voices/noise_wave.h"

#include "pi.h"

#include <algorithm>
#include <cmath>

namespace pxtone {

bool noise_is_random(int32_t type) { return type == NOISE_RANDOM || type == NOISE_RANDOM2; }

static uint16_t byte_swapped(uint32_t x) { return uint16_t(((x & 0xffu) << 8) | ((x >> 8) & 0xffu)); }

NoiseRandom::NoiseRandom(double offset) {
    const double p = offset - std::floor(offset);
    start_ = std::min<int64_t>(std::llround(p * OFFSET_SPAN), OFFSET_SPAN - 1);
    restart();
}

void NoiseRandom::restart() {
    last_ = 0x4444;
    previous_ = 0x8888;
    drawn_ = 0;
    for (int64_t i = 0; i < start_; i++) step();
    drawn_ = 0;
}

void NoiseRandom::step() {
    const uint16_t next = byte_swapped(uint32_t(last_) + previous_);
    previous_ = last_;
    last_ = next;
    drawn_++;
}

double NoiseRandom::value(int64_t k) {
    if (start_ == 0 && k <= 0) return 0.0;
    if (k < drawn_ - 1) restart();
    if (k - drawn_ > MAX_DRAWS_PER_READ) drawn_ = k - MAX_DRAWS_PER_READ;
    while (drawn_ < k) step();
    const uint16_t v = k == drawn_ ? last_ : previous_;
    return int16_t(v) / 32768.0;
}

double NoiseRandom::wave(int32_t type, double cycles) {
    const double cycle = std::floor(cycles);
    const int64_t k = int64_t(cycle);
    const double a = value(k);
    if (type == NOISE_RANDOM2) return a;
    if (type != NOISE_RANDOM) return 0.0;
    return a + (value(k + 1) - a) * (cycles - cycle);
}

// The odd harmonics 1, 3, .. 15 at 1/h each (as a ptvoice overtone wave
// adds them): a square with sloped edges and rippled tops at about pi/4.
// Measured on the low square drums of the recordings: their edges take a
// twentieth of a period and carry nothing above the 15th harmonic.
static double overtone_square(double p) {
    const double x = 2.0 * PI * p;
    const double twice_cos_2x = 2.0 * std::cos(2.0 * x);
    // sin((h + 2)x) = 2 cos(2x) sin(hx) - sin((h - 2)x)
    double below = -std::sin(x), here = std::sin(x), sum = 0.0;
    for (int h = 1; h <= 15; h += 2) {
        sum += here / h;
        const double above = twice_cos_2x * here - below;
        below = here;
        here = above;
    }
    return sum;
}

static double stepped_saw(double p, int steps) {
    double s = std::floor(p * steps) / (steps - 1);
    return 1.0 - 2.0 * s;
}

double noise_wave(int32_t type, double phase) {
    const double p = phase - std::floor(phase);  // 0..1
    switch (type) {
    case NOISE_SINE: return std::sin(2.0 * PI * p);
    case NOISE_SAW: return 1.0 - 2.0 * p;
    case NOISE_RECT: return p < 0.5 ? 1.0 : -1.0;
    case NOISE_RECT2: return overtone_square(p);
    case NOISE_SAW2: return 2.0 * p - 1.0;
    case NOISE_TRIANGLE: return p < 0.25 ? 4.0 * p : p < 0.75 ? 2.0 - 4.0 * p : 4.0 * p - 4.0;
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
