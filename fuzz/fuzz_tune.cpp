// fuzz_tune: any bytes given to the library either load, or give a short
// error text; a tune that loads tells its information and effects, plays a
// second (for ever or twice through, mono or stereo by the input's size),
// is made to end with the pass playing, seeks to its middle (or 10 s in,
// for longer songs) and plays a moment faded. A broken contract aborts, so
// libFuzzer keeps the input.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "brindlewick.h"

namespace {

constexpr int RATE = 22050;
constexpr int CHUNK = 1024;
constexpr size_t ERROR_TEXT_MAX = 80;

void require(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_tune: %s\n", what);
        std::abort();
    }
}

void check_info(bw_tune *t)
{
    bw_info info;
    require(bw_get_info(t, &info, sizeof info) == 1, "no information for a loaded tune");
    require(info.beats_per_measure >= 0 && info.ticks_per_beat >= 0 && info.measures >= 0 && info.units >= 0,
            "negative tune information");
    require(info.frames >= 0 && info.repeat_frame >= 0 && info.repeat_frame + info.repeat_frames == info.frames,
            "lengths that do not add up");
    require(std::strlen(info.title) < (1u << 17) && std::strlen(info.comment) < (1u << 17), "endless texts");
    int effects = 0;
    while (const char *line = bw_effect_text(t, effects)) {
        require(std::strlen(line) < 200, "an endless effect line");
        effects++;
    }
    require(effects == info.delays + info.overdrives, "effect lines missing");
}

void play_a_second(bw_tune *t, int channels, bool forever)
{
    std::vector<int16_t> out(size_t(channels) * CHUNK);
    bw_info info;
    bw_get_info(t, &info, sizeof info);
    for (int done = 0; done < RATE; done += CHUNK) {
        int got = bw_render(t, out.data(), CHUNK);
        require(got >= 0 && got <= CHUNK, "render wrote more than asked");
        if (got < CHUNK) require(!forever || info.frames <= 0, "a tune playing for ever ended");
        if (got == 0) break;
    }
    bw_set_loops(t, 1);  // the pass playing becomes the last
    bw_position pos;
    require(bw_get_position(t, &pos) == 1 && pos.frame >= 0 && pos.song_frame <= info.frames && pos.pass >= 1,
            "a position outside the output");
    // A seek replays the song up to its target, so its cost grows with the
    // target (on purpose); seeking at most 10 s in keeps one input's time
    // bounded by its bytes rather than by the song length it claims.
    require(bw_seek(t, std::min<int64_t>(info.frames / 2, 10 * RATE)) == 1, "seek refused");
    require(bw_set_fade(t, 0.5) == 1, "fade refused");
    const int64_t total = bw_output_frames(t);
    bw_get_position(t, &pos);
    require(total >= 0 && pos.frame <= total, "seek left the output");
    bw_render(t, out.data(), CHUNK);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const int channels = size & 2 ? 1 : 2;
    bw_tune *t = bw_new(RATE, channels);
    require(t, "no instance");
    const int loaded = bw_load_memory(t, data, size, "fuzz.ptcop");
    const char *error = bw_error(t);
    require(error && std::strlen(error) <= ERROR_TEXT_MAX, "error text too long");
    if (!loaded) {
        require(*error, "a refused tune without an error text");
    } else {
        check_info(t);
        const bool forever = size & 1;
        bw_set_loops(t, forever ? BW_LOOP_FOREVER : 2);
        play_a_second(t, channels, forever);
    }
    bw_free(t);
    return 0;
}
