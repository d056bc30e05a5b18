// The two file versions read: a song written in the older editor's layout
// loads as the same tune as in the newer one and plays the same samples; a
// file code of another date is named as a version we do not read.
#include <gtest/gtest.h>

#include <algorithm>

#include "render_song.h"
#include "tune_model.h"

using namespace test_support;
namespace tb = tune_builder;

namespace {

// Two units, their clocks at `beat_clock` ticks a beat: a lead that changes
// voice and glides, and a drum routed to a delay. Each unit's events at one
// clock come in the newer editor's order (VOICE NO, KEY PORTA, KEY, ON,
// VELOCITY, VOLUME), the order the older layout's events are put in.
tb::Song two_units(int beat_clock) {
    const auto t = [&](int ticks) { return ticks * beat_clock / 480; };
    tb::Song s;
    s.beat_clock = beat_clock;
    s.beat_num = 3;
    s.tempo = 150.0f;
    s.name = "older";
    s.comment = "two units";
    s.units = {"lead", "drum"};
    s.voices = {tb::sine_voice("a", 100), tb::sine_voice("b", 60),
                tb::pcm_voice("hit", std::vector<int16_t>(2000, 9000), 22050, false)};
    s.delays = {tb::Delay{0, 1, 30.0f, 2.0f}};
    for (int i = 0; i < 6; i++) {
        if (i == 1) tb::add_event(s, t(480), 0, tb::EV_VOICE_NO, 1);
        if (i == 2) tb::add_event(s, t(960), 0, tb::EV_VOICE_NO, 0);
        if (i == 2) tb::add_event(s, t(960), 0, tb::EV_KEY_PORTA, t(240));
        tb::add_note(s, 0, t(480 * i), t(400), tb::key_of(i % 3 * 2));
    }
    tb::add_event(s, t(1200), 0, tb::EV_KEY, tb::key_of(5));  // glides
    tb::add_event(s, 0, 1, tb::EV_VOICE_NO, 2);
    tb::add_event(s, 0, 1, tb::EV_GROUP_NO, 1);
    for (int i = 0; i < 8; i++) tb::add_note(s, 1, t(360 * i), t(120), -1);
    tb::add_event(s, t(720), 1, tb::EV_VOLUME, 70);
    tb::add_event(s, t(1500), 1, tb::EV_PAN_VOLUME, 20);
    return s;
}

void expect_same_tune(const pxtone::Tune &a, const pxtone::Tune &b) {
    EXPECT_EQ(a.master.beat_clock, b.master.beat_clock);
    EXPECT_EQ(a.master.beat_num, b.master.beat_num);
    EXPECT_EQ(a.master.tempo, b.master.tempo);
    EXPECT_EQ(a.end_clock, b.end_clock);
    EXPECT_EQ(a.repeat_clock, b.repeat_clock);
    EXPECT_EQ(a.title, b.title);
    EXPECT_EQ(a.comment, b.comment);
    EXPECT_EQ(a.unit_names, b.unit_names);
    EXPECT_EQ(a.voices.size(), b.voices.size());
    EXPECT_EQ(a.delays.size(), b.delays.size());
    ASSERT_EQ(a.events.size(), b.events.size());
    for (size_t i = 0; i < a.events.size(); i++) {
        const pxtone::Event &x = a.events[i], &y = b.events[i];
        EXPECT_TRUE(x.clock == y.clock && x.unit == y.unit && x.kind == y.kind && x.value == y.value)
            << "event " << i << ": " << x.clock << "/" << int(x.unit) << "/" << int(x.kind) << " against "
            << y.clock << "/" << int(y.unit) << "/" << int(y.kind);
    }
}

}  // namespace

TEST(FileVersions, OlderLayoutReadsAsTheSameTune) {
    const struct {
        const char *what;
        bool pttune;
        int beat_clock;
        int32_t repeat, last;
    } cases[] = {{"project", false, 480, 0, 0},
                 {"repeat and last", false, 480, 1440, 4320},
                 {"tune", true, 48, 144, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        tb::Song s = two_units(c.beat_clock);
        s.pttune = c.pttune;
        s.repeat_clock = c.repeat;
        s.last_clock = c.last;
        tb::Song old = s;
        old.older = true;
        auto newer = load_song(s), older = load_song(old);
        ASSERT_TRUE(newer && older);
        expect_same_tune(*older, *newer);
        EXPECT_EQ(render_song(old, 22050), render_song(s, 22050));
    }
}

TEST(FileVersions, OtherDatesAreNamedAsVersionsWeDoNotRead) {
    const struct {
        const char *code;
        const char *error;
    } cases[] = {{"PTCOLLAGE-071119", ""},
                 {"PTCOLLAGE-060930", ""},
                 {"PTTUNE--20071119", ""},
                 {"PTTUNE--20060930", ""},
                 {"PTCOLLAGE-050227", "unsupported tune version: v.ptcop"},
                 {"PTCOLLAGE-121231", "unsupported tune version: v.ptcop"},
                 {"PTTUNE--20090101", "unsupported tune version: v.ptcop"},
                 {"PTCOLLAGE-07111x", "not a tune: v.ptcop"},
                 {"PTTUNE---2007111", "not a tune: v.ptcop"},
                 {"PTVOICE-20060111", "not a tune: v.ptcop"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        tb::Song s = two_units(480);
        s.older = std::string(c.code).find("060930") != std::string::npos;
        std::vector<uint8_t> bytes = tb::build(s);
        std::copy(c.code, c.code + 16, bytes.begin());
        pxtone::LoadResult r = pxtone::load_tune(bytes.data(), bytes.size(), "v.ptcop");
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(bool(r.tune), *c.error == '\0');
    }
}
