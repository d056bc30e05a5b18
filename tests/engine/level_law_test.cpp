// Level laws, measured on rendered notes: volume and velocity are linear
// gains, pan scales the far side linearly, layers add, the output
// saturates instead of wrapping.
#include <gtest/gtest.h>

#include <cmath>

#include "audio_measure.h"
#include "render_song.h"

using namespace test_support;
namespace tb = tune_builder;

namespace {

constexpr int RATE = 22050;

tb::Song sine_song(int velocity, int volume = -1, int pan = -1, int layer_volume = 64) {
    tb::Song s;
    s.tempo = 60.0f;
    s.units = {"u"};
    s.voices = {tb::sine_voice("s", layer_volume)};
    if (volume >= 0) tb::add_event(s, 0, 0, tb::EV_VOLUME, volume);
    if (pan >= 0) tb::add_event(s, 0, 0, tb::EV_PAN_VOLUME, pan);
    tb::add_note(s, 0, 0, 480 * 2, tb::KEY_A4, velocity);
    return s;
}

double level(const std::vector<int16_t> &out, int ch) {
    std::vector<double> x = channel(out, 2, ch);
    return rms(x, size_t(0.2 * RATE), size_t(1.8 * RATE));
}

}  // namespace

TEST(LevelLaw, VelocityAndVolumeAreLinearGains) {
    double ref = level(render_song(sine_song(104), RATE), 0);
    ASSERT_GT(ref, 0.05);
    EXPECT_NEAR(level(render_song(sine_song(52), RATE), 0) / ref, 0.5, 0.01);
    EXPECT_NEAR(level(render_song(sine_song(104, 80), RATE), 0) / ref, 80.0 / 104.0, 0.01);
    EXPECT_NEAR(level(render_song(sine_song(26, 52), RATE), 0) / ref, 0.125, 0.01);
    EXPECT_NEAR(level(render_song(sine_song(104, -1, -1, 32), RATE), 0) / ref, 0.5, 0.01);
}

TEST(LevelLaw, PanScalesTheFarSideLinearly) {
    std::vector<int16_t> centre = render_song(sine_song(104), RATE);
    EXPECT_NEAR(level(centre, 0), level(centre, 1), 1e-6);
    std::vector<int16_t> right = render_song(sine_song(104, -1, 96), RATE);
    EXPECT_NEAR(level(right, 1) / level(centre, 1), 1.0, 0.01);
    EXPECT_NEAR(level(right, 0) / level(centre, 0), 0.5, 0.01);
    std::vector<int16_t> hard_left = render_song(sine_song(104, -1, 0), RATE);
    EXPECT_LT(level(hard_left, 1), 1e-4);
}

TEST(LevelLaw, LayerPanAndLayersAdd) {
    tb::Song s = sine_song(104);
    s.voices[0].layers.push_back(s.voices[0].layers[0]);
    s.voices[0].layers[1].pan = 0;  // second layer only on the left
    std::vector<int16_t> two = render_song(s, RATE);
    double one = level(render_song(sine_song(104), RATE), 0);
    EXPECT_NEAR(level(two, 0) / one, 2.0, 0.02);
    EXPECT_NEAR(level(two, 1) / one, 1.0, 0.02);
}

TEST(LevelLaw, LoudMixesSaturateInsteadOfWrapping) {
    // Eight full sines on top of each other: the output pins at full scale
    // and keeps the sign of the quiet version of the same sound.
    auto song = [](int units) {
        tb::Song s;
        s.tempo = 60.0f;
        for (int u = 0; u < units; u++) {
            s.units.push_back("u" + std::to_string(u));
            tb::add_note(s, u, 0, 480, tb::KEY_A4, 127);
        }
        s.voices = {tb::sine_voice("s", 128)};
        return s;
    };
    std::vector<double> loud = channel(render_song(song(8), RATE), 2, 0);
    std::vector<double> quiet = channel(render_song(song(1), RATE), 2, 0);
    int pinned = 0;
    for (size_t i = 0; i < size_t(0.4 * RATE); i++) {
        if (std::fabs(loud[i]) > 0.99) pinned++;
        if (std::fabs(quiet[i]) > 0.1) {
            ASSERT_GT(loud[i] * quiet[i], 0.0) << "wrapped at " << i;
        }
    }
    EXPECT_GT(pinned, 1000);
}
