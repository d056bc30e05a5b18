// Wave tables of ptvoice layers: one period of the wave, sampled at
// WAVE_TABLE_SIZE points, played back looped with linear interpolation.
// Each table holds one more sample, a copy of the first, so that
// interpolation never wraps.
#ifndef PXTONE_WAVE_TABLE_H
#define PXTONE_WAVE_TABLE_H

#include <utility>
#include <vector>

namespace pxtone {

constexpr int WAVE_TABLE_BITS = 10;
constexpr int WAVE_TABLE_SIZE = 1 << WAVE_TABLE_BITS;

// Overtones: (harmonic number >= 1, amplitude -128..128). Harmonic h with
// amplitude a adds a sine of size (a / 128) / h; harmonics the table cannot
// hold are left out.
std::vector<float> overtone_table(const std::vector<std::pair<int, int>> &overtones);

// Coordinates: a polyline over one period of `width` steps through points
// (x, y), x increasing in 0..width-1, y -128..127, wrapping from the last
// point back to the first at x = width. Fewer than one point gives silence.
std::vector<float> coordinate_table(const std::vector<std::pair<int, int>> &points, int width);

}  // namespace pxtone

#endif
