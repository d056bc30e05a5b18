// What the library's tests share: an owning handle, renders to the end, and
// the built songs they play.
#ifndef API_SONGS_H
#define API_SONGS_H

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "brindlewick.h"
#include "tune_builder.h"

struct TuneFree {
    void operator()(bw_tune *t) const { bw_free(t); }
};
using Tune = std::unique_ptr<bw_tune, TuneFree>;

// A new instance holding the built song, loops and fade set.
inline Tune loaded(const tune_builder::Song &song, int rate = 22050, int channels = 2, int loops = 1,
                   double fade = 0.0) {
    Tune t(bw_new(rate, channels));
    const std::vector<uint8_t> bytes = tune_builder::build(song);
    EXPECT_EQ(bw_load_memory(t.get(), bytes.data(), bytes.size(), "song"), 1) << bw_error(t.get());
    EXPECT_EQ(bw_set_loops(t.get(), loops), 1);
    EXPECT_EQ(bw_set_fade(t.get(), fade), 1);
    return t;
}

// Renders on in blocks of `block` frames, to the end or `most` frames.
inline std::vector<int16_t> render_on(bw_tune *t, int channels = 2, int64_t most = INT64_MAX,
                                      int block = 1000) {
    std::vector<int16_t> out, buf(size_t(channels) * size_t(block));
    for (int64_t done = 0; done < most;) {
        const int n = bw_render(t, buf.data(), int(std::min<int64_t>(block, most - done)));
        if (n <= 0) break;
        out.insert(out.end(), buf.begin(), buf.begin() + long(n) * channels);
        done += n;
    }
    return out;
}

// Two measures of 4/4 at 240 beats a minute (2 s), repeating from the
// second: a note sounds across the repeat position and one across the end,
// a glide and a pan-time offset, all through a delay that rings on.
inline tune_builder::Song looping_song() {
    namespace tb = tune_builder;
    tb::Song s;
    s.tempo = 240.0f;
    s.repeat_clock = 1920;
    s.last_clock = 3840;
    s.units = {"lead", "bass"};
    s.voices = {tb::sine_voice("lead", 90), tb::sine_voice("bass", 70)};
    s.delays = {tb::Delay{0, 0, 40.0f, 2.0f}};
    tb::add_event(s, 0, 1, tb::EV_VOICE_NO, 1);
    tb::add_event(s, 0, 1, tb::EV_PAN_TIME, 80);
    tb::add_event(s, 0, 0, tb::EV_KEY_PORTA, 120);
    for (int i = 0; i < 7; i++) tb::add_note(s, 0, i * 480, 400, tb::key_of(i * 2));
    tb::add_note(s, 1, 1200, 1400, tb::key_of(-12));  // across the repeat position
    tb::add_note(s, 1, 3500, 2000, tb::key_of(-10));  // past the end
    tb::add_event(s, 3300, 0, tb::EV_KEY, tb::key_of(5));
    return s;
}

#endif
