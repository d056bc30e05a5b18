// Loops, fade, rendering, seeking and positions of a loaded tune.
#include <algorithm>
#include <limits>
#include <cmath>

#include "api/tune_instance.h"

using pxtone::guarded;

static_assert(BW_LOOP_FOREVER == pxtone::LOOP_FOREVER);

extern "C" {

int bw_set_loops(bw_tune *t, int loops) {
    if (!t) return 0;
    if (loops < 0) return t->fail("bad argument: loops");
    t->loops = loops;
    if (t->loaded()) t->player->set_loops(loops);
    return 1;
}

int bw_set_fade(bw_tune *t, double seconds) {
    if (!t) return 0;
    if (!std::isfinite(seconds) || seconds < 0.0) return t->fail("bad argument: fade");
    t->fade_seconds = seconds;
    if (t->loaded()) t->player->set_fade(seconds);
    return 1;
}

int64_t bw_output_frames(bw_tune *t) {
    if (!t) return -1;
    if (!t->loaded()) {
        t->fail("no tune loaded");
        return -1;
    }
    return guarded<int64_t>(t, -1, "out of memory", [&] { return t->player->output_frames(); });
}

int bw_render(bw_tune *t, int16_t *out, int frames) {
    if (!t || !out || frames <= 0) return 0;
    if (!t->loaded()) return t->fail("no tune loaded");
    return t->player->render(out, frames);
}

int bw_seek(bw_tune *t, int64_t frame) {
    if (!t) return 0;
    if (!t->loaded()) return t->fail("no tune loaded");
    t->player->seek(frame);
    return 1;
}

int bw_get_position(bw_tune *t, bw_position *pos) {
    if (!t) return 0;
    if (!pos) return t->fail("bad argument: pos");
    *pos = bw_position{};
    if (!t->loaded()) return t->fail("no tune loaded");
    const pxtone::PassPosition p = t->player->position();
    pos->frame = p.frame;
    pos->song_frame = p.song_frame;
    pos->tick = p.tick;
    pos->pass = int32_t(std::min<int64_t>(p.pass, std::numeric_limits<int32_t>::max()));
    return 1;
}

int bw_ended(bw_tune *t) { return t && t->loaded() && t->player->ended() ? 1 : 0; }

}  // extern "C"
