// The engine's renderer driven directly, without the library's calls: the
// reference engine_bench measures the library's rendering against. The one
// file outside the engine that reaches into pxtone/src.
#ifndef BENCH_RENDERER_REFERENCE_H
#define BENCH_RENDERER_REFERENCE_H

#include <cstdint>
#include <vector>

// CPU seconds of rendering the tune in `bytes` once through at `rate`
// (stereo, blocks of 4096 frames), the best of `runs`; the frames it gave
// in `frames`. -1 when the tune does not load.
double renderer_seconds(const std::vector<uint8_t> &bytes, int rate, int runs, int64_t &frames);

#endif
