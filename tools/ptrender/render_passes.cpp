#include "render_passes.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int BLOCK_FRAMES = 4096;

// The frames of the passes alone: with a fade set, the output ends with them.
int64_t pass_frames(bw_tune *tune, const RenderPasses &passes) {
    bw_set_fade(tune, 1.0);
    const int64_t frames = bw_output_frames(tune);
    bw_set_fade(tune, passes.fade_seconds);
    return frames;
}

}  // namespace

std::string render_passes(bw_tune *tune, int rate, const RenderPasses &passes, SoundOut &out) {
    bw_set_loops(tune, passes.loops);
    const int64_t body = pass_frames(tune, passes);
    if (body > MAX_OUTPUT_FRAMES) {
        char text[120];
        std::snprintf(text, sizeof text, "too long to render: %.1f hours, the most is %.1f at this rate",
                      double(body) / rate / 3600.0, double(MAX_OUTPUT_FRAMES) / rate / 3600.0);
        return text;
    }
    std::vector<int16_t> buf(2 * size_t(BLOCK_FRAMES));
    int n;
    for (int64_t done = 0; done < MAX_OUTPUT_FRAMES; done += n) {
        n = bw_render(tune, buf.data(), int(std::min<int64_t>(BLOCK_FRAMES, MAX_OUTPUT_FRAMES - done)));
        if (n <= 0) break;
        if (!out.write(buf.data(), n)) return out.error();
    }
    return "";
}
