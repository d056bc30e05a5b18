// The overdrive effect: the sum of the units of its group is clipped at
// (100 - cut) % of full scale and multiplied by the amp, before the group's
// delay; other groups stay clean.
#include <gtest/gtest.h>

#include <cmath>

#include "audio_measure.h"
#include "render_song.h"

using namespace test_support;
namespace tb = tune_builder;

namespace {

constexpr int RATE = 44100;
// A full ptvoice sine layer at velocity and volume 128 peaks here.
constexpr double FULL_SINE = 0.95;

// RMS of a sine of amplitude `a` clipped at `c`, from the integral of its
// square over a quarter period.
double clipped_sine_rms(double a, double c) {
    if (c >= a) return a / std::sqrt(2.0);
    const double knee = std::asin(c / a);
    const double pi = std::acos(-1.0);
    return std::sqrt(2.0 / pi * (a * a * (knee / 2 - std::sin(2 * knee) / 4) + c * c * (pi / 2 - knee)));
}

// Units each playing a full-level A4 sine for one second (at 60 bpm), one
// after the other, unit u in group groups[u].
tb::Song sines_in_groups(const std::vector<int> &groups) {
    tb::Song s;
    s.tempo = 60.0f;
    s.voices = {tb::sine_voice("s", 128)};
    s.voices[0].layers[0].env_tail = {{0, 0}};
    for (size_t u = 0; u < groups.size(); u++) {
        const int unit = int(u);
        s.units.push_back("u" + std::to_string(u));
        tb::add_event(s, 0, unit, tb::EV_VOLUME, 128);
        tb::add_event(s, 0, unit, tb::EV_GROUP_NO, groups[u]);
        tb::add_note(s, unit, 480 * unit, 480, tb::KEY_A4, 128);
    }
    return s;
}

// Peak and RMS of the left channel over the middle of second `second`.
std::pair<double, double> second_levels(const std::vector<double> &x, int second) {
    const size_t from = size_t(second * RATE + RATE / 10), to = size_t((second + 1) * RATE - RATE / 10);
    return {peak(x, from, to), rms(x, from, to)};
}

}  // namespace

TEST(Overdrive, ClipsAtTheCutShareOfFullScaleThenAmplifies) {
    struct Case {
        float cut, amp;
    };
    for (Case c : {Case{90.0f, 2.0f}, Case{77.0f, 3.0f}, Case{50.0f, 1.0f}, Case{95.0f, 0.8f},
                   Case{0.0f, 1.0f}}) {
        SCOPED_TRACE(testing::Message() << "cut " << c.cut << " amp " << c.amp);
        tb::Song s = sines_in_groups({1});
        s.overdrives = {tb::Overdrive{1, c.cut, c.amp}};
        std::vector<double> x = channel(render_song(s, RATE), 2, 0);
        const double clip = std::min((100.0 - c.cut) / 100.0, FULL_SINE);
        auto [pk, level] = second_levels(x, 0);
        EXPECT_NEAR(pk, std::min(clip * c.amp, 32767.0 / 32768.0), 0.002);
        EXPECT_NEAR(level / (clipped_sine_rms(FULL_SINE, clip) * c.amp), 1.0, 0.01);
    }
}

TEST(Overdrive, SeveralEachActOnTheirOwnGroup) {
    // Units in groups 2, 0 (no effect), 1 and 3; overdrives on 1, 2 and 3.
    tb::Song s = sines_in_groups({2, 0, 1, 3});
    s.overdrives = {tb::Overdrive{1, 90.0f, 2.0f}, tb::Overdrive{2, 50.0f, 1.0f},
                    tb::Overdrive{3, 80.0f, 1.5f}};
    std::vector<double> x = channel(render_song(s, RATE), 2, 0);
    EXPECT_NEAR(second_levels(x, 0).first, 0.5, 0.002);
    EXPECT_NEAR(second_levels(x, 1).first, FULL_SINE, 0.002);
    EXPECT_NEAR(second_levels(x, 2).first, 0.2, 0.002);
    EXPECT_NEAR(second_levels(x, 3).first, 0.3, 0.002);
}

TEST(Overdrive, ClipsTheSumOfItsGroupNotEachUnit) {
    // Two units at half level playing the same note in one group: their sum
    // is clipped once (each clipped alone would give twice the peak).
    tb::Song s;
    s.tempo = 60.0f;
    s.units = {"a", "b"};
    s.voices = {tb::sine_voice("s", 64)};
    s.overdrives = {tb::Overdrive{1, 80.0f, 1.0f}};
    for (int u = 0; u < 2; u++) {
        tb::add_event(s, 0, u, tb::EV_VOLUME, 128);
        tb::add_event(s, 0, u, tb::EV_GROUP_NO, 1);
        tb::add_note(s, u, 0, 480, tb::KEY_A4, 128);
    }
    std::vector<double> x = channel(render_song(s, RATE), 2, 0);
    EXPECT_NEAR(second_levels(x, 0).first, 0.2, 0.002);
}

TEST(Overdrive, ComesBeforeTheDelayOfItsGroup) {
    // A 50 ms full-level blip through a 90 % cut at amp 2 (peak 0.2) and a
    // 25 % delay every 0.625 s on the same group: the echo repeats the
    // clipped blip at a quarter of its level. Clipping after the delay
    // would have left the echo at the clip level, 0.2.
    tb::Song s;
    s.units = {"u"};
    s.voices = {tb::sine_voice("s", 128)};
    s.voices[0].layers[0].env_tail = {{0, 0}};
    s.delays = {tb::Delay{0, 1, 25.0f, 0.8f}};
    s.overdrives = {tb::Overdrive{1, 90.0f, 2.0f}};
    tb::add_event(s, 0, 0, tb::EV_VOLUME, 128);
    tb::add_event(s, 0, 0, tb::EV_GROUP_NO, 1);
    tb::add_note(s, 0, 0, 48, tb::KEY_A4, 128);
    std::vector<double> x = channel(render_song(s, RATE), 2, 0);
    const double blip = peak(x, 0, size_t(0.05 * RATE));
    EXPECT_NEAR(blip, 0.2, 0.002);
    EXPECT_NEAR(peak(x, size_t(0.63 * RATE), size_t(0.67 * RATE)), 0.25 * blip, 0.002);
}
