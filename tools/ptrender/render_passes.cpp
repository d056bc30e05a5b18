#include "render_passes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "mix/renderer.h"

namespace {

constexpr int BLOCK_FRAMES = 4096;

// Frames before any ring-out, and how many of the last of them fade out.
struct PassFrames {
    int64_t body = 0;
    int64_t fade = 0;
};

PassFrames plan_passes(int64_t length, int64_t looped_length, int rate, const RenderPasses &p) {
    PassFrames plan;
    plan.body = p.loops > 1 ? looped_length : length;
    plan.fade = std::min(plan.body, int64_t(std::llround(p.fade_seconds * rate)));
    return plan;
}

// Fades frames [first, first + count) of the body: its last `fade` frames
// fall linearly to silence, the very last frame being 0.
void apply_fade(int16_t *samples, int64_t first, int count, const PassFrames &plan) {
    const int64_t fade_start = plan.body - plan.fade;
    for (int i = 0; i < count; i++) {
        const int64_t frame = first + i;
        if (frame < fade_start) continue;
        const float gain = float(plan.body - 1 - frame) / float(plan.fade);
        for (int c = 0; c < 2; c++) {
            int16_t &s = samples[2 * size_t(i) + size_t(c)];
            s = int16_t(std::lround(float(s) * std::max(gain, 0.0f)));
        }
    }
}

}  // namespace

std::string render_passes(std::shared_ptr<const pxtone::Tune> tune, int rate,
                          const RenderPasses &passes, SoundOut &out) {
    pxtone::Renderer r(tune, rate);
    r.set_loop(passes.loops > 1);
    const PassFrames plan = plan_passes(r.length(), r.looped_length(passes.loops), rate, passes);
    if (plan.body > MAX_OUTPUT_FRAMES) {
        char text[120];
        std::snprintf(text, sizeof text, "too long to render: %.1f hours, the most is %.1f at this rate",
                      double(plan.body) / rate / 3600.0, double(MAX_OUTPUT_FRAMES) / rate / 3600.0);
        return text;
    }
    std::vector<int16_t> buf(2 * size_t(BLOCK_FRAMES));
    int64_t done = 0;
    while (done < plan.body) {
        const int n = r.render(buf.data(), int(std::min<int64_t>(BLOCK_FRAMES, plan.body - done)), 2);
        if (n <= 0) break;
        if (plan.fade > 0) apply_fade(buf.data(), done, n, plan);
        if (!out.write(buf.data(), n)) return out.error();
        done += n;
    }
    if (plan.fade > 0) return "";
    r.set_loop(false);
    int n;
    while (done < MAX_OUTPUT_FRAMES &&
           (n = r.render(buf.data(), int(std::min<int64_t>(BLOCK_FRAMES, MAX_OUTPUT_FRAMES - done)), 2)) > 0) {
        if (!out.write(buf.data(), n)) return out.error();
        done += n;
    }
    return "";
}
