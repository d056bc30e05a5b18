// Pitch of rendered notes, measured: key to frequency for each voice kind,
// tuning factors, KEY CORRECT, and the porta glide.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "audio_measure.h"
#include "render_song.h"

using namespace test_support;
namespace tb = tune_builder;

namespace {

constexpr int RATE = 44100;

// ptvoice A4 sounds at 441 Hz (measured on the editor's WAV exports).
constexpr double PTV_A4 = 441.0;

double key_hz(int key) { return PTV_A4 * std::pow(2.0, (key - tb::KEY_A4) / 3072.0); }

// Frequency of the left channel between two seconds.
double freq_between(const std::vector<int16_t> &out, double a, double b) {
    std::vector<double> x = channel(out, 2, 0);
    return measure_frequency(x, size_t(a * RATE), size_t(b * RATE), RATE);
}

tb::Song note_song(const tb::Voice &v, int key) {
    tb::Song s;
    s.tempo = 60.0f;
    s.units = {"u"};
    s.voices = {v};
    tb::add_note(s, 0, 0, 480 * 2, key);
    return s;
}

}  // namespace

TEST(Pitch, PtvoiceKeysFollowEqualTemperamentFromA4) {
    for (int semis : {-24, -7, 0, 5, 19}) {
        SCOPED_TRACE(semis);
        int key = tb::key_of(semis);
        std::vector<int16_t> out = render_song(note_song(tb::sine_voice("s"), key), RATE);
        double f = freq_between(out, 0.2, 1.8);
        EXPECT_NEAR(semitones(key_hz(key), f), 0.0, 0.05) << f;
    }
}

TEST(Pitch, KeyBetweenSemitonesAndLayerTuning) {
    tb::Voice v = tb::sine_voice("s");
    v.layers[0].tuning = 1.5f;  // a fifth, near enough
    std::vector<int16_t> out = render_song(note_song(v, tb::KEY_A4 + 128), RATE);
    double f = freq_between(out, 0.2, 1.8);
    EXPECT_NEAR(semitones(key_hz(tb::KEY_A4 + 128) * 1.5, f), 0.0, 0.05) << f;
}

TEST(Pitch, PcmPlaysAtItsRateAtTheReferenceKey) {
    // A 200-sample single cycle at 44.1 kHz is 220.5 Hz at key A4.
    std::vector<int16_t> cycle(200);
    for (int i = 0; i < 200; i++) cycle[size_t(i)] = int16_t(20000 * std::sin(2 * M_PI * i / 200));
    for (int semis : {0, 12, -5}) {
        SCOPED_TRACE(semis);
        tb::Voice v = tb::pcm_voice("loop", cycle, 44100, true);
        std::vector<int16_t> out = render_song(note_song(v, tb::key_of(semis)), RATE);
        double f = freq_between(out, 0.2, 1.8);
        EXPECT_NEAR(semitones(220.5 * std::pow(2.0, semis / 12.0), f), 0.0, 0.05) << f;
    }
}

TEST(Pitch, PcmAtAnotherRateAndEightBits) {
    tb::Voice v;
    v.kind = tb::VoiceKind::pcm;
    v.pcm_bits = 8;
    v.pcm_rate = 11025;
    v.voice_flags = 3;
    for (int i = 0; i < 100; i++) v.data.push_back(uint8_t(128 + 100 * std::sin(2 * M_PI * i / 100)));
    std::vector<int16_t> out = render_song(note_song(v, tb::KEY_A4), RATE);
    EXPECT_NEAR(semitones(110.25, freq_between(out, 0.2, 1.8)), 0.0, 0.05);
}

TEST(Pitch, NoiseVoiceSoundsAtItsDesignedFrequencyAndMovesWithKey) {
    tb::Voice v;
    v.kind = tb::VoiceKind::ptnoise;
    v.noise_samples = 44100 * 2;
    tb::PtnUnit u;
    u.envelope = {{0, 100}, {2000, 100}};
    u.main.type = 1;
    u.main.freq_hz = 300.0;
    v.noise_units = {u};
    std::vector<int16_t> out = render_song(note_song(v, tb::KEY_A4), RATE);
    EXPECT_NEAR(semitones(300.0, freq_between(out, 0.2, 1.5)), 0.0, 0.05);
    out = render_song(note_song(v, tb::key_of(-12)), RATE);
    EXPECT_NEAR(semitones(150.0, freq_between(out, 0.2, 1.5)), 0.0, 0.05);
}

TEST(Pitch, KeyCorrectScalesTheFrequency) {
    tb::Song s = note_song(tb::sine_voice("s"), tb::KEY_A4);
    float factor = 1.25f;
    int32_t bits;
    std::memcpy(&bits, &factor, 4);
    tb::add_event(s, 0, 0, tb::EV_KEY_CORRECT, bits);
    std::vector<int16_t> out = render_song(s, RATE);
    EXPECT_NEAR(semitones(PTV_A4 * 1.25, freq_between(out, 0.2, 1.8)), 0.0, 0.05);
}

TEST(Pitch, PortaGlidesLinearlyInKeyOverItsLength) {
    // A note at A4, then at 0.5 s a KEY an octave up with a porta of one
    // beat (1 s at 60 bpm): halfway through, the pitch is half an octave up.
    tb::Song s;
    s.tempo = 60.0f;
    s.units = {"u"};
    s.voices = {tb::sine_voice("s")};
    tb::add_note(s, 0, 0, 480 * 4, tb::KEY_A4);
    tb::add_event(s, 240, 0, tb::EV_KEY_PORTA, 480);
    tb::add_event(s, 240, 0, tb::EV_KEY, tb::key_of(12));
    std::vector<int16_t> out = render_song(s, RATE);
    EXPECT_NEAR(semitones(PTV_A4, freq_between(out, 0.1, 0.45)), 0.0, 0.05);
    EXPECT_NEAR(semitones(PTV_A4, freq_between(out, 0.95, 1.05)), 6.0, 0.3);
    EXPECT_NEAR(semitones(2 * PTV_A4, freq_between(out, 1.6, 3.0)), 0.0, 0.05);
}

TEST(Pitch, KeyWithANewNoteTakesEffectAtOnceDespitePorta) {
    tb::Song s;
    s.tempo = 60.0f;
    s.units = {"u"};
    s.voices = {tb::sine_voice("s")};
    tb::add_event(s, 0, 0, tb::EV_KEY_PORTA, 480);
    tb::add_note(s, 0, 0, 480, tb::KEY_A4);
    tb::add_note(s, 0, 480, 480, tb::key_of(7));
    std::vector<int16_t> out = render_song(s, RATE);
    EXPECT_NEAR(semitones(key_hz(tb::key_of(7)), freq_between(out, 1.02, 1.2)), 0.0, 0.05);
}

TEST(Pitch, PortaGlideMovesInSixteenthSemitoneStepsRoundedDown) {
    // A looped 16-bit ramp: each output frame shows which source frame is
    // playing, so the playing rate can be read to a hundredth of a cent. A
    // glide of one semitone over 4 s (at 1 s, porta 1920 ticks at 60 bpm)
    // spends 0.25 s on each sixteenth of a semitone, at the step below the
    // gliding key, then rests on the semitone.
    constexpr int LOOP = 4096;
    std::vector<int16_t> ramp(LOOP);
    for (int i = 0; i < LOOP; i++) ramp[size_t(i)] = int16_t((i - LOOP / 2) * 16);
    tb::Song s;
    s.tempo = 60.0f;
    s.units = {"u"};
    s.voices = {tb::pcm_voice("ramp", ramp, RATE, true)};
    tb::add_note(s, 0, 0, 480 * 7, tb::KEY_A4);
    tb::add_event(s, 480, 0, tb::EV_KEY_PORTA, 1920);
    tb::add_event(s, 480, 0, tb::EV_KEY, tb::key_of(1));
    std::vector<double> x = channel(render_song(s, RATE), 2, 0);
    // Source frames from the first second, where frame i plays source i.
    double xd = 0.0, dd = 0.0;
    for (size_t i = 100; i < 4000; i++) {
        const double d = int(i % LOOP) - LOOP / 2;
        xd += x[i] * d;
        dd += d * d;
    }
    const double per_step = xd / dd;
    auto source = [&](size_t i) { return std::lround(x[i] / per_step) + LOOP / 2; };
    // Source frames played from frame a to frame b, the loop unwrapped.
    auto played = [&](size_t a, size_t b) {
        long n = 0;
        for (size_t i = a + 1; i <= b; i++) n += (source(i) - source(i - 1) + LOOP) % LOOP;
        return n;
    };
    auto cents = [&](double from_s, double to_s) {
        size_t a = size_t(from_s * RATE), b = size_t(to_s * RATE);
        return 1200.0 * std::log2(double(played(a, b)) / double(b - a));
    };
    EXPECT_NEAR(cents(0.1, 0.9), 0.0, 0.02);
    for (int k = 0; k < 16; k++) {
        SCOPED_TRACE(k);
        const double from = 1.0 + k * 0.25;
        EXPECT_NEAR(cents(from + 0.01, from + 0.24), 100.0 * k / 16, 0.2);  // a frame in 0.23 s
    }
    EXPECT_NEAR(cents(5.05, 6.5), 100.0, 0.02);
}
