// The two file versions read: a song written in the older editor's layout
// loads as the same tune as in the newer one and plays the same samples.
#include <gtest/gtest.h>

#include <tuple>

#include "render_song.h"
#include "tune_model.h"

using namespace test_support;
namespace tb = tune_builder;

namespace {

// A lead that changes voice and glides, and a drum routed to a delay, at
// `beat_clock` ticks a beat. A unit's events at one clock come in the newer
// editor's order, the one the older layout's events are put in.
tb::Song two_units(int beat_clock) {
    const auto t = [&](int ticks) { return ticks * beat_clock / 480; };
    tb::Song s;
    s.beat_clock = beat_clock;
    s.beat_num = 3;
    s.name = "older";
    s.units = {"lead", "drum"};
    s.voices = {tb::sine_voice("a", 100), tb::sine_voice("b", 60),
                tb::pcm_voice("hit", std::vector<int16_t>(2000, 9000), 22050, false)};
    s.delays = {tb::Delay{0, 1, 30.0f, 2.0f}};
    for (int i = 0; i < 6; i++) {
        if (i > 0) tb::add_event(s, t(480 * i), 0, tb::EV_VOICE_NO, i % 2);
        if (i == 2) tb::add_event(s, t(960), 0, tb::EV_KEY_PORTA, t(240));
        tb::add_note(s, 0, t(480 * i), t(400), tb::key_of(i % 3 * 2));
    }
    tb::add_event(s, t(1200), 0, tb::EV_KEY, tb::key_of(5));  // glides
    tb::add_event(s, 0, 1, tb::EV_VOICE_NO, 2);
    tb::add_event(s, 0, 1, tb::EV_GROUP_NO, 1);
    for (int i = 0; i < 8; i++) tb::add_note(s, 1, t(360 * i), t(120), -1);
    tb::add_event(s, t(720), 1, tb::EV_VOLUME, 70);
    return s;
}

auto read_back(const pxtone::Tune &t) {
    std::vector<std::tuple<int, int, int, int>> events;
    for (const pxtone::Event &e : t.events) events.emplace_back(e.clock, e.unit, e.kind, e.value);
    return std::make_tuple(t.master.beat_clock, t.master.beat_num, t.end_clock, t.repeat_clock,
                           t.title, t.comment, t.unit_names, t.delays.size(), events);
}

}  // namespace

TEST(FileVersions, OlderLayoutReadsAsTheSameTune) {
    const struct {
        bool pttune;
        int beat_clock;
        int32_t repeat, last;
    } cases[] = {{false, 480, 0, 0}, {false, 480, 1440, 4320}, {true, 48, 144, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.repeat);
        tb::Song s = two_units(c.beat_clock), old;
        s.pttune = c.pttune;
        s.repeat_clock = c.repeat;
        s.last_clock = c.last;
        old = s;
        old.older = true;
        auto newer = load_song(s), older = load_song(old);
        ASSERT_TRUE(newer && older);
        EXPECT_EQ(read_back(*older), read_back(*newer));
        EXPECT_EQ(render_song(old, 22050), render_song(s, 22050));
    }
}
