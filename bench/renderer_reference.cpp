#include "renderer_reference.h"

#include <algorithm>

#include "bench_clock.h"
#include "mix/renderer.h"
#include "tune.h"

double renderer_seconds(const std::vector<uint8_t> &bytes, int rate, int runs, int64_t &frames) {
    pxtone::LoadResult r = pxtone::load_tune(bytes.data(), bytes.size(), "bench");
    if (!r.tune) return -1.0;
    std::vector<int16_t> buf(2 * 4096);
    double best = 1e9;
    for (int i = 0; i < runs; i++) {
        pxtone::Renderer renderer(r.tune, rate);
        frames = 0;
        const double t = thread_cpu_seconds();
        int n;
        while ((n = renderer.render(buf.data(), 4096, 2)) > 0) frames += n;
        best = std::min(best, thread_cpu_seconds() - t);
    }
    return best;
}
