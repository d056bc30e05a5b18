// Caps on what a tune may hold. Real tunes sit far below every one of them;
// they exist so that a hostile file costs bounded time and memory.
#ifndef PXTONE_TUNE_LIMITS_H
#define PXTONE_TUNE_LIMITS_H

#include <cstddef>
#include <cstdint>

namespace pxtone {

constexpr size_t MAX_FILE_BYTES = 64u << 20;
constexpr int MAX_VOICES = 256;
constexpr int MAX_UNITS = 256;
constexpr uint32_t MAX_EVENTS = 4000000;
constexpr int MAX_DELAYS = 16;
constexpr int MAX_OVERDRIVES = 16;
// Groups a unit can be routed to (GROUP NO is taken within 0..MAX_GROUPS-1);
// an effect on any other group acts on nothing.
constexpr int MAX_GROUPS = 256;
constexpr uint32_t MAX_SAMPLE_BYTES = 48u << 20;
// Decoded sample frames of one voice (PCM, Ogg, noise): 20 minutes at 48 kHz.
constexpr size_t MAX_SAMPLE_FRAMES = size_t(48000) * 60 * 20;
// Decoded floats over all voices of one tune (512 MB).
constexpr size_t MAX_TUNE_SAMPLE_FLOATS = size_t(128) << 20;
constexpr int MAX_PTV_LAYERS = 2;
constexpr int MAX_PTV_POINTS = 4096;
constexpr int MAX_ENVELOPE_POINTS = 1024;
constexpr int MAX_NOISE_UNITS = 8;
constexpr uint32_t MAX_NOISE_SAMPLES = 44100 * 60;
// Noise synthesis work over all voices of one tune: samples times units
// (real tunes need under a million; this is about half a second).
constexpr uint64_t MAX_TUNE_NOISE_WORK = 24000000;
// Longest song accepted: clocks beyond this are a damaged file.
constexpr int64_t MAX_SONG_SECONDS = 4 * 3600;
constexpr size_t MAX_TEXT_BYTES = 1u << 16;

}  // namespace pxtone

#endif
