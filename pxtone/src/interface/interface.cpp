// The C calls of pxtone.h over the one engine.
#include <algorithm>
#include <cmath>
#include <string>

#include "interface/interface_engine.h"
#include "pxtone.h"
#include "mix/renderer.h"

using namespace pxtone;

namespace {

bool valid_format(int channels, int sps, int bits, float buffer_sec) {
    return (channels == 1 || channels == 2) && sps >= 8000 && sps <= 192000 &&
           (bits == 8 || bits == 16) && std::isfinite(buffer_sec) && buffer_sec >= 0.01f &&
           buffer_sec <= 1.0f;
}

// The name error texts show: the file's name without its folder.
std::string shown_name(const char *path) {
    std::string name = path;
    size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    return name.empty() ? "(no name)" : name;
}

// Stops and drops what plays; the renderer dies here, outside the stream's lock.
void drop_renderer(Engine &engine) { engine.stream.take_renderer().reset(); }

int fail(Engine &engine, const std::string &text) {
    engine.error.set(text);
    return 0;
}

}  // namespace

extern "C" {

int pxtone_Ready(void *, int channels, int sps, int bits, float buffer_sec, int,
                 PXTONEPLAY_CALLBACK callback) {
    Engine &engine = the_engine();
    if (!valid_format(channels, sps, bits, buffer_sec)) return fail(engine, "bad audio format");
    pxtone_Release();
    engine.format = AudioFormat{channels, sps, bits, buffer_frames(sps, buffer_sec)};
    engine.stream.set_output(channels, callback);
    open_output(engine);
    engine.ready = true;
    return 1;
}

int pxtone_Release(void) {
    Engine &engine = the_engine();
    pxtone_Tune_Release();
    close_output(engine);
    engine.ready = false;
    return 1;
}

int pxtone_Tune_Load(void *module, const char *, const char *file_name) {
    Engine &engine = the_engine();
    pxtone_Tune_Release();
    recover_output(engine);
    LoadResult loaded;
    if (module)
        loaded.error = "no resource tunes";
    else if (!file_name)
        loaded.error = "cannot open: (no name)";
    else
        loaded = load_tune_file(file_name, shown_name(file_name));
    if (!loaded.tune) {
        engine.load_failed = true;
        return fail(engine, loaded.error.empty() ? "cannot load tune" : loaded.error);
    }
    engine.tune = std::move(loaded.tune);
    if (!loaded.warning.empty()) engine.error.set(loaded.warning);
    return 1;
}

int pxtone_Tune_Release(void) {
    Engine &engine = the_engine();
    drop_renderer(engine);
    engine.tune.reset();
    engine.load_failed = false;
    return 1;
}

int pxtone_Tune_Start(int32_t start_sample, int32_t fade_in_msec) {
    Engine &engine = the_engine();
    if (!engine.tune) return engine.load_failed ? 0 : fail(engine, "no tune loaded");
    if (!engine.ready) return fail(engine, "not ready");
    recover_output(engine);
    auto renderer = std::make_unique<Renderer>(engine.tune, engine.format.rate);
    renderer->seek(std::max<int32_t>(start_sample, 0));
    int64_t fade = fade_frames(fade_in_msec, engine.format.rate);
    engine.stream.start(std::move(renderer), fade).reset();
    return 1;
}

int32_t pxtone_Tune_Stop(void) {
    int64_t position = the_engine().stream.stop();
    return int32_t(std::min<int64_t>(position, INT32_MAX));
}

int pxtone_Tune_SetLoop(int loop) {
    the_engine().stream.set_loop(loop != 0);
    return 1;
}

int pxtone_Tune_IsStreaming(void) { return the_engine().stream.streaming() ? 1 : 0; }

int pxtone_Tune_GetInformation(int32_t *beat_num, float *beat_tempo, int32_t *beat_clock,
                               int32_t *meas_num) {
    Engine &engine = the_engine();
    TuneInfo info;
    if (engine.tune) info = tune_info(*engine.tune);
    if (beat_num) *beat_num = info.beat_num;
    if (beat_tempo) *beat_tempo = info.beat_tempo;
    if (beat_clock) *beat_clock = info.beat_clock;
    if (meas_num) *meas_num = info.meas_num;
    if (engine.tune) return 1;
    return engine.load_failed ? 0 : fail(engine, "no tune loaded");
}

const char *pxtone_GetLastError(void) { return the_engine().error.read(); }

}  // extern "C"
