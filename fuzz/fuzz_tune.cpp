// fuzz_tune: any bytes given to the tune reader either load, or give a short
// error text; a tune that loads plays a second of sound (with the loop on for
// odd-sized inputs), then a moment after a seek to its middle (or 10 s in,
// for longer songs). A broken
// contract aborts, so libFuzzer keeps the input.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "mix/renderer.h"
#include "tune.h"

namespace {

constexpr int RATE = 22050;
constexpr int CHUNK = 1024;
constexpr size_t ERROR_TEXT_MAX = 36;

void require(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_tune: %s\n", what);
        std::abort();
    }
}

void play_a_second(const std::shared_ptr<const pxtone::Tune> &tune, bool loop)
{
    pxtone::Renderer renderer(tune, RATE);
    renderer.set_loop(loop);
    std::vector<int16_t> out(2 * CHUNK);
    for (int done = 0; done < RATE; done += CHUNK) {
        int got = renderer.render(out.data(), CHUNK, 2);
        require(got >= 0 && got <= CHUNK, "render wrote more than asked");
        if (got < CHUNK)
            require(!loop || renderer.length() <= 0, "a looping tune ended");
        if (got == 0)
            break;
    }
    require(renderer.length() >= 0, "negative length");
    // A seek replays the song up to its target, so its cost grows with the
    // target (on purpose); seeking at most 10 s in keeps one input's time
    // bounded by its bytes rather than by the song length it claims.
    renderer.seek(std::min<int64_t>(renderer.length() / 2, 10 * RATE));
    require(renderer.position() >= 0 && renderer.position() <= renderer.length(),
            "seek left the song");
    renderer.render(out.data(), CHUNK, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    pxtone::LoadResult loaded = pxtone::load_tune(data, size, "fuzz.ptcop");
    if (!loaded.tune) {
        require(!loaded.error.empty(), "a refused tune without an error text");
        require(loaded.error.size() <= ERROR_TEXT_MAX, "error text too long");
        return 0;
    }
    require(loaded.warning.size() <= ERROR_TEXT_MAX, "warning text too long");
    pxtone::TuneInfo info = pxtone::tune_info(*loaded.tune);
    require(info.beat_num >= 0 && info.beat_clock >= 0 && info.meas_num >= 0,
            "negative tune information");
    play_a_second(loaded.tune, size & 1);
    return 0;
}
