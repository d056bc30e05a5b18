// Measurements on rendered sound: pitch, level, onsets.
#ifndef TEST_SUPPORT_AUDIO_MEASURE_H
#define TEST_SUPPORT_AUDIO_MEASURE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace test_support {

// One channel (0 left, 1 right) of interleaved frames, as floats -1..1.
std::vector<double> channel(const std::vector<int16_t> &frames, int channels, int which);

// Frequency in Hz of a periodic signal over [from, to): the mean period
// between rising zero crossings (interpolated), so a sine comes out exact.
// 0 when fewer than two crossings.
double measure_frequency(const std::vector<double> &x, size_t from, size_t to, int rate);

// Semitones from a to b.
double semitones(double a_hz, double b_hz);

// Root mean square over [from, to).
double rms(const std::vector<double> &x, size_t from, size_t to);

// Largest absolute value over [from, to).
double peak(const std::vector<double> &x, size_t from, size_t to);

// First index at or after `from` whose absolute value exceeds `threshold`,
// or x.size().
size_t first_above(const std::vector<double> &x, size_t from, double threshold);

// Largest absolute difference between neighbouring samples over [from, to).
double max_step(const std::vector<double> &x, size_t from, size_t to);

// Amplitude of the sinusoid at `hz` in x over [from, to) (its correlation
// with a sine and a cosine; exact over whole periods).
double tone_amplitude(const std::vector<double> &x, size_t from, size_t to, double hz, int rate);

// Pearson correlation of a and b over [from, to); 0 when either is flat.
double correlation(const std::vector<double> &a, const std::vector<double> &b, size_t from,
                   size_t to);

}  // namespace test_support

#endif
