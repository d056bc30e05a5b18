// The C calls of pxtone.h over the one engine.
#include <algorithm>
#include <cmath>
#include <string>

#include "interface/interface_engine.h"
#include "pxtone.h"

using namespace pxtone;

namespace {

bool valid_format(int channels, int sps, int bits, float buffer_sec) {
    return (channels == 1 || channels == 2) && sps >= 8000 && sps <= 192000 &&
           (bits == 8 || bits == 16) && std::isfinite(buffer_sec) && buffer_sec >= 0.01f &&
           buffer_sec <= 1.0f;
}

// Stops and drops what plays; the instance dies here, outside the stream's lock.
void drop_tune(Engine &engine) {
    engine.stream.take_tune().reset();
    engine.tune.reset();
    engine.loaded = false;
}

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
    // Made for the output's format; one made before the engine is ready
    // only ever tells its information (a later pxtone_Ready releases it).
    const bool ready = engine.ready;
    TuneHandle tune(bw_new(ready ? engine.format.rate : 44100, ready ? engine.format.channels : 2));
    std::string error;
    if (module)
        error = "no resource tunes";
    else if (!file_name)
        error = "cannot open: (no name)";
    else if (!tune)
        error = "cannot load tune";
    else if (!bw_load_file(tune.get(), file_name))
        error = bw_error(tune.get());
    if (!error.empty()) {
        engine.load_failed = true;
        return fail(engine, error);
    }
    bw_get_info(tune.get(), &engine.info, sizeof engine.info);
    if (*bw_error(tune.get())) engine.error.set(bw_error(tune.get()));  // a voice that plays silent
    engine.tune = std::move(tune);
    engine.loaded = true;
    return 1;
}

int pxtone_Tune_Release(void) {
    Engine &engine = the_engine();
    drop_tune(engine);
    engine.load_failed = false;
    return 1;
}

int pxtone_Tune_Start(int32_t start_sample, int32_t fade_in_msec) {
    Engine &engine = the_engine();
    if (!engine.loaded) return engine.load_failed ? 0 : fail(engine, "no tune loaded");
    if (!engine.ready) return fail(engine, "not ready");
    recover_output(engine);
    TuneHandle tune = engine.tune ? std::move(engine.tune) : engine.stream.take_tune();
    bw_seek(tune.get(), std::clamp<int64_t>(start_sample, 0, engine.info.frames));
    int64_t fade = fade_frames(fade_in_msec, engine.format.rate);
    engine.stream.start(std::move(tune), fade).reset();
    if (engine.device) engine.device->cut();
    return 1;
}

int32_t pxtone_Tune_Stop(void) {
    Engine &engine = the_engine();
    int64_t unheard = engine.device ? engine.device->queued_frames() : 0;
    int64_t position = engine.stream.stop(unheard);
    if (engine.device) engine.device->cut();
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
    const bw_info none{}, &info = engine.loaded ? engine.info : none;
    if (beat_num) *beat_num = info.beats_per_measure;
    if (beat_tempo) *beat_tempo = float(info.tempo);
    if (beat_clock) *beat_clock = info.ticks_per_beat;
    if (meas_num) *meas_num = info.measures;
    if (engine.loaded) return 1;
    return engine.load_failed ? 0 : fail(engine, "no tune loaded");
}

const char *pxtone_GetLastError(void) { return the_engine().error.read(); }

}  // extern "C"
