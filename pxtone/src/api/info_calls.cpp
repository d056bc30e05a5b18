// bw_get_info and bw_effect_text: what the loaded tune holds.
#include <algorithm>
#include <cstring>

#include "api/tune_instance.h"
#include "tune_model.h"

namespace {

int fill_info(const bw_tune &t, bw_info *info, size_t info_size) {
    const pxtone::Tune &tune = *t.tune;
    const pxtone::TuneSummary s = pxtone::tune_summary(tune);
    bw_info i{};
    i.title = t.title.c_str();
    i.comment = t.comment.c_str();
    i.tempo = tune.master.tempo;
    i.beats_per_measure = tune.master.beat_num;
    i.ticks_per_beat = tune.master.beat_clock;
    i.measures = s.timing.meas_num;
    i.repeat_measure = int32_t(tune.repeat_clock / (int64_t(tune.master.beat_num) * tune.master.beat_clock));
    i.frames = t.player->song_frames();
    i.repeat_frame = t.player->repeat_frame();
    i.repeat_frames = i.frames - i.repeat_frame;
    i.units = s.units;
    i.ptvoice_voices = s.ptvoice;
    i.ptnoise_voices = s.ptnoise;
    i.pcm_voices = s.pcm;
    i.ogg_voices = s.ogg;
    i.silent_voices = s.silent_voices;
    i.delays = int32_t(tune.delays.size());
    i.overdrives = int32_t(tune.overdrives.size());
    std::memcpy(info, &i, std::min(info_size, sizeof i));
    return 1;
}

}  // namespace

extern "C" {

int bw_get_info(bw_tune *t, bw_info *info, size_t info_size) {
    if (!t) return 0;
    if (!info) return t->fail("bad argument: info");
    if (!t->loaded()) return t->fail("no tune loaded");
    return pxtone::guarded(t, 0, "out of memory", [&] { return fill_info(*t, info, info_size); });
}

const char *bw_effect_text(bw_tune *t, int index) {
    if (!t) return nullptr;
    if (!t->loaded()) {
        t->fail("no tune loaded");
        return nullptr;
    }
    if (index < 0 || size_t(index) >= t->effects.size()) return nullptr;
    return t->effects[size_t(index)].c_str();
}

}  // extern "C"
