#ifndef PXTONE_WAVE_TABLE_H
#define PXTONE_WAVE_TABLE_H

// Wave tables of ptvoice layers: one period of the wave, played back by
// taking the sample the phase falls in (no interpolation). The editor's
// recordings show the images of exactly that: overtone waves in 400
// samples, coordinate waves in one sample per step of their width.

#include <utility>
#include <vector>

namespace pxtone {

constexpr int OVERTONE_TABLE_SIZE = 400;
constexpr int MAX_COORDINATE_WIDTH = 4096;

// Overtones: (harmonic number >= 1, amplitude -128..128). Harmonic h with
// amplitude a adds a sine of size (a / 128) / h; harmonics the table cannot
// hold are left out.
std::vector<float> overtone_table(const std::vector<std::pair<int, int>> &overtones);

// Coordinates: a polyline over one period of `width` steps (1..
// MAX_COORDINATE_WIDTH) through points (x, y), x increasing in
// 0..width-1, y -128..127, wrapping from the last point back to the first
// at x = width; sampled at x = 0, 1, .. width - 1. No points: silence.
std::vector<float> coordinate_table(const std::vector<std::pair<int, int>> &points, int width);

}  // namespace pxtone

#endif
