// tune_speed TUNE...: the native reference of bench/web-bench. For each
// tune, through the library at 44100 Hz stereo, once through (echoes
// included): its seconds of sound, the load's time in milliseconds and the
// render's speed in multiples of real time, each the best of a few runs of
// the thread's CPU time; one tab-separated line a tune ("-" for a tune that
// does not load). web_speed.mjs measures the WebAssembly build the same way.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "bench_clock.h"
#include "brindlewick.h"

namespace {

constexpr int RATE = 44100;
constexpr int RUNS = 5;
constexpr int BLOCK = 4096;

void measure(const char *path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    double best_load = 1e9, best_render = 1e9;
    int64_t frames = 0;
    std::vector<int16_t> block(2 * BLOCK);
    for (int run = 0; run < RUNS; run++) {
        bw_tune *t = bw_new(RATE, 2);
        const double start = thread_cpu_seconds();
        if (!bw_load_memory(t, bytes.data(), bytes.size(), path)) {
            std::printf("%s\t-\n", path);
            bw_free(t);
            return;
        }
        const double loaded = thread_cpu_seconds();
        frames = 0;
        for (int n; (n = bw_render(t, block.data(), BLOCK)) > 0;) frames += n;
        best_load = std::min(best_load, loaded - start);
        best_render = std::min(best_render, thread_cpu_seconds() - loaded);
        bw_free(t);
    }
    const double seconds = double(frames) / RATE;
    std::printf("%s\t%.3f\t%.3f\t%.1f\n", path, seconds, best_load * 1e3, seconds / std::max(best_render, 1e-9));
}

}  // namespace

int main(int argc, char **argv) {
    for (int i = 1; i < argc; i++) measure(argv[i]);
    return 0;
}
