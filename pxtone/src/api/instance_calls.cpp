// bw_new, bw_free, bw_error and the two loads.
#include <new>

#include "api/tune_instance.h"
#include "api/tune_text.h"
#include "error_text.h"
#include "read/open_file.h"

using pxtone::guarded;

namespace {

const char NO_NAME[] = "(no name)";

std::string last_part(const char *path) {
    std::string name = path;
    name.erase(0, pxtone::last_part_start(name));
    return name.empty() ? NO_NAME : name;
}

// Takes a load's result into the instance: the tune, its texts and a player
// at frame 0 with one pass, or nothing and the reason.
int take_load(bw_tune *t, pxtone::LoadResult loaded) {
    if (!loaded.tune) return t->fail(loaded.error.empty() ? "damaged tune" : loaded.error);
    auto player = std::make_unique<pxtone::PassPlayer>(loaded.tune, t->rate, t->channels);
    player->set_fade(t->fade_seconds);
    const pxtone::TuneSummary summary = pxtone::tune_summary(*loaded.tune);
    t->title = pxtone::tune_text(summary.title);
    t->comment = pxtone::tune_text(summary.comment);
    t->effects = summary.effects;
    t->tune = std::move(loaded.tune);
    t->player = std::move(player);
    t->loops = 1;
    t->error = loaded.warning;
    return 1;
}

}  // namespace

extern "C" {

int bw_version(void) { return BW_VERSION; }

bw_tune *bw_new(int rate, int channels) {
    if (rate < BW_MIN_RATE || rate > BW_MAX_RATE || (channels != 1 && channels != 2)) return nullptr;
    bw_tune *t = new (std::nothrow) bw_tune;
    if (!t) return nullptr;
    t->rate = rate;
    t->channels = channels;
    return t;
}

void bw_free(bw_tune *t) { delete t; }

const char *bw_error(const bw_tune *t) { return t ? t->error.c_str() : nullptr; }

int bw_load_memory(bw_tune *t, const void *data, size_t size, const char *name) {
    if (!t) return 0;
    t->unload();
    const std::string shown = name ? name : NO_NAME;
    if (!data && size > 0) return t->fail("bad argument: data");
    return guarded(t, 0, pxtone::error_text("tune too big", shown), [&] {
        const uint8_t *bytes = static_cast<const uint8_t *>(data);
        return take_load(t, pxtone::load_tune(bytes, bytes ? size : 0, shown));
    });
}

int bw_load_file(bw_tune *t, const char *path) {
    if (!t) return 0;
    t->unload();
    if (!path) return t->fail("bad argument: path");
    const std::string shown = last_part(path);
    return guarded(t, 0, pxtone::error_text("tune too big", shown), [&] {
        return take_load(t, pxtone::load_tune_file(path, shown));
    });
}

}  // extern "C"
