// Voice kinds beyond the plain sine: stereo 16-bit PCM, Ogg Vorbis voices
// (encoded here with oggenc when it is installed), coordinate waves, the
// pan-time offset between the channels.
#include <gtest/gtest.h>

#include <cmath>

#include "audio_measure.h"
#include "ogg_encode.h"
#include "render_song.h"

using namespace test_support;
namespace tb = tune_builder;

namespace {

constexpr int RATE = 44100;

tb::Song one_note(const tb::Voice &v) {
    tb::Song s;
    s.tempo = 60.0f;
    s.units = {"u"};
    s.voices = {v};
    tb::add_note(s, 0, 0, 480, tb::KEY_A4);
    return s;
}

std::vector<int16_t> sine(double hz, int rate, double seconds, double amp) {
    std::vector<int16_t> x(size_t(rate * seconds));
    for (size_t i = 0; i < x.size(); i++) x[i] = int16_t(amp * 32767 * std::sin(2 * M_PI * hz * i / rate));
    return x;
}

}  // namespace

TEST(VoiceKinds, StereoPcmKeepsItsChannels) {
    std::vector<int16_t> l = sine(300, 22050, 1.0, 0.5), r = sine(500, 22050, 1.0, 0.5);
    tb::Voice v;
    v.kind = tb::VoiceKind::pcm;
    v.pcm_channels = 2;
    v.pcm_bits = 16;
    v.pcm_rate = 22050;
    for (size_t i = 0; i < l.size(); i++) {
        tb::put_u16(v.data, uint16_t(l[i]));
        tb::put_u16(v.data, uint16_t(r[i]));
    }
    std::vector<int16_t> out = render_song(one_note(v), RATE);
    EXPECT_NEAR(measure_frequency(channel(out, 2, 0), 4410, 40000, RATE), 300.0, 0.3);
    EXPECT_NEAR(measure_frequency(channel(out, 2, 1), 4410, 40000, RATE), 500.0, 0.3);
}

TEST(VoiceKinds, CoordinateWaveIsThePolylineItDraws) {
    // A square drawn with four points: its third harmonic is a third of the
    // first, as a square's is.
    tb::Voice v = tb::sine_voice("sq", 128);
    v.layers[0].use_overtones = false;
    v.layers[0].coords = {{0, 100}, {99, 100}, {100, -100}, {199, -100}};
    std::vector<double> x = channel(render_song(one_note(v), RATE), 2, 0);
    EXPECT_NEAR(measure_frequency(x, 4410, 40000, RATE), 441.0, 0.5);
    EXPECT_GT(peak(x, 4410, 40000), 0.3);
    // Flat tops: most samples sit near the peak.
    double p = peak(x, 4410, 40000);
    int flat = 0;
    for (size_t i = 4410; i < 40000; i++) flat += std::fabs(std::fabs(x[i]) - p) < 0.05 * p;
    EXPECT_GT(flat, (40000 - 4410) * 8 / 10);
}

TEST(VoiceKinds, OggVoicePlaysAtItsRate) {
    if (!have_oggenc()) GTEST_SKIP() << "no oggenc";
    tb::Voice v;
    v.kind = tb::VoiceKind::ogg;
    v.data = encode_ogg(sine(441, 22050, 1.0, 0.5), 22050);
    ASSERT_FALSE(v.data.empty());
    // The block's tuning bends the pitch; a frame count short of the
    // stream's (a second at 22050 Hz) ends the sound there.
    const struct {
        float tuning;
        int frames;
        double hz, seconds;
    } cases[] = {{1.0f, 22050, 441.0, 1.0}, {2.0f, 0, 882.0, 0.5}, {1.0f, 11025, 441.0, 0.5}};
    for (const auto &c : cases) {
        v.tuning = c.tuning;
        v.ogg_frames = c.frames;
        std::vector<double> x = channel(render_song(one_note(v), RATE), 2, 0);
        const size_t end = size_t(c.seconds * RATE);
        EXPECT_NEAR(measure_frequency(x, 2205, end - 2205, RATE), c.hz, 0.5) << c.frames;
        EXPECT_GT(rms(x, 2205, end - 2205), 0.1) << c.frames;
        EXPECT_LT(rms(x, end + 2205, RATE * 3 / 2), 1e-3) << c.frames;
    }
    // A damaged stream makes a bad voice, not a damaged tune.
    v.data.resize(v.data.size() / 3);
    std::vector<uint8_t> bytes = tb::build(one_note(v));
    pxtone::LoadResult r = pxtone::load_tune(bytes.data(), bytes.size(), "x");
    EXPECT_TRUE(r.tune);
    EXPECT_EQ(r.warning, "bad voice: voice");
}

TEST(VoiceKinds, PanTimeDelaysTheFarChannel) {
    tb::Song s = one_note(tb::sine_voice("s", 128));
    tb::add_event(s, 0, 0, tb::EV_PAN_TIME, 80);  // towards the right: the left waits 16 frames
    std::vector<int16_t> out = render_song(s, RATE);
    std::vector<double> l = channel(out, 2, 0), r = channel(out, 2, 1);
    size_t lon = first_above(l, 0, 0.01), ron = first_above(r, 0, 0.01);
    EXPECT_EQ(lon - ron, 16u);
    EXPECT_NEAR(rms(l, 4410, 30000), rms(r, 4410, 30000), 1e-3);
}

TEST(VoiceKinds, TablesPlaySampleBySampleWithoutInterpolation) {
    // A coordinate wave of width 4 (+100, +50, -50, -100 at x = 0..3) at A4
    // (441 Hz, so 100 frames a period at 44.1 kHz): each point's value holds
    // for a quarter period, with no ramps between them. The phase keeps
    // exact time: each step falls on a whole 25 frames from the note's
    // start, not a frame late.
    tb::Voice v = tb::sine_voice("steps", 128);
    v.layers[0].use_overtones = false;
    v.layers[0].coord_width = 4;
    v.layers[0].coords = {{0, 100}, {1, 50}, {2, -50}, {3, -100}};
    std::vector<double> x = channel(render_song(one_note(v), RATE), 2, 0);
    const size_t from = 4400;  // 44 whole periods after the note began
    int changes = 0;
    for (size_t i = from + 1; i <= from + 1000; i++) {
        if (x[i] == x[i - 1]) continue;
        changes++;
        EXPECT_EQ(i % 25, 0u) << i;
    }
    EXPECT_EQ(changes, 40);  // four steps a period, ten periods
    EXPECT_NEAR(x[from + 10] / x[from + 35], 2.0, 0.01);
    EXPECT_NEAR(x[from + 60] / x[from + 85], 0.5, 0.01);
}
