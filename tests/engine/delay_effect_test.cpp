// The delay effect, as measured on corpus tune 56: echoes of the units in
// the delay's group come every beat / frequency at rate % of the level
// before; units of other groups stay dry; the echoes ring out past the end.
#include <gtest/gtest.h>

#include "audio_measure.h"
#include "render_song.h"
#include "mix/renderer.h"

using namespace test_support;
namespace tb = tune_builder;

namespace {

constexpr int RATE = 44100;

// A 50 ms blip at the start of a 2-measure song at 120 bpm (beat 0.5 s),
// with a delay of 0.8 per beat (0.625 s) at 25 %.
tb::Song blip_song(int unit_group) {
    tb::Song s;
    s.units = {"u"};
    s.voices = {tb::sine_voice("s", 128)};
    s.voices[0].layers[0].env_tail = {{0, 0}};
    tb::Delay d;
    d.group = 1;
    d.rate = 25.0f;
    d.freq = 0.8f;
    s.delays = {d};
    tb::add_event(s, 0, 0, tb::EV_GROUP_NO, unit_group);
    tb::add_note(s, 0, 0, 48, tb::KEY_A4);
    tb::add_note(s, 0, 1920 * 2 - 48, 48, tb::KEY_A4);  // one more blip just before the end
    return s;
}

double level_between(const std::vector<double> &x, double a, double b) {
    return rms(x, size_t(a * RATE), size_t(b * RATE));
}

}  // namespace

TEST(DelayEffect, EchoesComeEveryBeatOverFrequencyAtTheRate) {
    std::vector<double> x = channel(render_song(blip_song(1), RATE), 2, 0);
    double blip = level_between(x, 0.005, 0.045);
    ASSERT_GT(blip, 0.1);
    EXPECT_LT(level_between(x, 0.07, 0.6), blip * 0.01);
    EXPECT_NEAR(level_between(x, 0.630, 0.670) / blip, 0.25, 0.01);
    EXPECT_NEAR(level_between(x, 1.255, 1.295) / blip, 0.0625, 0.005);
}

TEST(DelayEffect, OtherGroupsStayDry) {
    std::vector<double> x = channel(render_song(blip_song(0), RATE), 2, 0);
    EXPECT_LT(level_between(x, 0.6, 1.5), 1e-4);
}

TEST(DelayEffect, EchoesRingOutAfterTheEndThenTheRenderStops) {
    auto tune = load_song(blip_song(1));
    pxtone::Renderer r(tune, RATE);
    std::vector<int16_t> out = render_tune(tune, RATE);
    ASSERT_GT(out.size() / 2, size_t(r.length() + RATE / 2));
    std::vector<double> x = channel(out, 2, 0);
    // The last blip's first echo, 0.625 s after it, is past the end.
    double t = 4.0 - 0.05 + 0.625;
    EXPECT_GT(level_between(x, t + 0.005, t + 0.045), 0.02);
    EXPECT_LT(out.size() / 2, size_t(r.length() + 10 * RATE));
    EXPECT_EQ(channel(out, 2, 0).back(), 0.0);
}

TEST(DelayEffect, EveryTimeUnitGroupAndRate) {
    // One blip per unit; unit u is routed to group u + 1, whose delay counts
    // its time in beats, measures or seconds. At 120 bpm in 4/4 a beat is
    // 0.5 s and a measure 2 s.
    struct Form {
        int time_unit;
        float freq, rate;
        double spacing;
    };
    const Form forms[] = {{0, 3.3f, 55.0f, 0.5 / 3.3}, {1, 2.0f, 33.0f, 1.0}, {2, 4.0f, 77.0f, 0.25}};
    tb::Song s;
    s.last_clock = 1920 * 4;
    s.voices = {tb::sine_voice("s", 128)};
    s.voices[0].layers[0].env_tail = {{0, 0}};
    for (int u = 0; u < 3; u++) {
        s.units.push_back("u" + std::to_string(u));
        s.delays.push_back(tb::Delay{forms[u].time_unit, u + 1, forms[u].rate, forms[u].freq});
    }
    for (int u = 0; u < 3; u++) {
        SCOPED_TRACE(u);
        tb::Song one = s;
        tb::add_event(one, 0, u, tb::EV_GROUP_NO, u + 1);
        tb::add_note(one, u, 0, 24, tb::KEY_A4);
        std::vector<double> x = channel(render_song(one, RATE), 2, 0);
        const double blip = level_between(x, 0.004, 0.024), t = forms[u].spacing, rate = forms[u].rate / 100.0;
        ASSERT_GT(blip, 0.1);
        // Silence until the first echo, which starts on time at the rate.
        const size_t onset = first_above(x, size_t(0.03 * RATE), blip * 0.05);
        EXPECT_NEAR(double(onset) / RATE, t, 0.0005);
        EXPECT_NEAR(level_between(x, t + 0.004, t + 0.024) / blip, rate, 0.01);
        EXPECT_NEAR(level_between(x, 2 * t + 0.004, 2 * t + 0.024) / blip, rate * rate, 0.01);
    }
}

TEST(DelayEffect, AUnitMovedToAnotherGroupLeavesItsEchoesBehind) {
    // Group 2 echoes after 0.25 s, group 3 after 0.4 s; the unit plays a
    // blip in group 2, then moves to group 3 and plays another.
    tb::Song s = blip_song(2);
    s.last_clock = 1920 * 2;
    s.delays = {tb::Delay{2, 2, 50.0f, 4.0f}, tb::Delay{2, 3, 50.0f, 2.5f}};
    s.events.clear();
    tb::add_event(s, 0, 0, tb::EV_GROUP_NO, 2);
    tb::add_note(s, 0, 0, 24, tb::KEY_A4);
    tb::add_event(s, 960, 0, tb::EV_GROUP_NO, 3);
    tb::add_note(s, 0, 960, 24, tb::KEY_A4);
    std::vector<double> x = channel(render_song(s, RATE), 2, 0);
    const double blip = level_between(x, 0.004, 0.024);
    EXPECT_NEAR(level_between(x, 0.254, 0.274) / blip, 0.5, 0.01);
    EXPECT_NEAR(level_between(x, 1.404, 1.424) / blip, 0.5, 0.01);
    // At 1.25 s only the first blip's fifth echo.
    EXPECT_NEAR(level_between(x, 1.254, 1.274) / blip, 0.5 * 0.5 * 0.5 * 0.5 * 0.5, 0.005);
}
