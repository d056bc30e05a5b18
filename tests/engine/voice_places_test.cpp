// Every voice kind at every place it can take: voices in any order, as many
// units and voices as a tune may hold, PCM in every stored format.
#include <gtest/gtest.h>

#include <cmath>

#include "audio_measure.h"
#include "ogg_encode.h"
#include "render_song.h"

using namespace test_support;
namespace tb = tune_builder;

namespace {

constexpr int RATE = 44100;

// A sine of `amp` (0..1) in the given PCM format: `cycles` whole periods of
// `period` frames, the same in every channel.
tb::Voice pcm_sine(int bits, int channels, int rate, int period, int cycles, double amp, bool loop) {
    tb::Voice v;
    v.kind = tb::VoiceKind::pcm;
    v.pcm_bits = bits;
    v.pcm_channels = channels;
    v.pcm_rate = rate;
    v.voice_flags = loop ? 3 : 2;
    for (int i = 0; i < period * cycles; i++) {
        double s = amp * std::sin(2 * M_PI * i / period);
        for (int c = 0; c < channels; c++) {
            if (bits == 8) v.data.push_back(uint8_t(std::lround(128 + 128 * s)));
            else tb::put_u16(v.data, uint16_t(int16_t(std::lround(32768 * s))));
        }
    }
    return v;
}

tb::Voice noise_voice() {
    tb::Voice v;
    v.kind = tb::VoiceKind::ptnoise;
    v.noise_samples = 4410;
    tb::PtnUnit tone;
    tone.main.freq_hz = 300;
    tb::PtnUnit hiss;
    hiss.main.type = 4;
    hiss.main.freq_hz = 20000;
    hiss.main.volume_pct = 30;
    v.noise_units = {tone, hiss};
    return v;
}

tb::Voice coordinate_voice() {
    tb::Voice v = tb::sine_voice("saw", 96);
    v.layers[0].use_overtones = false;
    v.layers[0].coords = {{0, 100}, {199, -100}};
    return v;
}

}  // namespace

TEST(VoicePlaces, VoicesPlayTheSameWhateverTheirOrder) {
    // Voices of every kind, each unit on its own voice through VOICE NO,
    // notes alone and together. Stored in reverse (VOICE NO following), the
    // tune renders to the same samples, and each unit is heard.
    std::vector<tb::Voice> voices = {tb::sine_voice("sine"), noise_voice(),
                                     pcm_sine(8, 1, 22050, 50, 1, 0.5, true),
                                     pcm_sine(16, 2, 44100, 4410, 1, 0.4, false),
                                     coordinate_voice()};
    if (have_oggenc()) {
        std::vector<int16_t> tone(22050);
        for (size_t i = 0; i < tone.size(); i++) tone[i] = int16_t(12000 * std::sin(2 * M_PI * i / 50.0));
        tb::Voice ogg;
        ogg.kind = tb::VoiceKind::ogg;
        ogg.data = encode_ogg(tone, 22050);
        ASSERT_FALSE(ogg.data.empty());
        voices.insert(voices.begin() + 2, ogg);
    }
    auto song = [&](bool reversed) {
        tb::Song s;
        s.tempo = 60.0f;
        const int n = int(voices.size());
        for (int u = 0; u < n; u++) {
            s.units.push_back("u" + std::to_string(u));
            s.voices.push_back(voices[size_t(reversed ? n - 1 - u : u)]);
            tb::add_event(s, 0, u, tb::EV_VOICE_NO, reversed ? n - 1 - u : u);
            tb::add_note(s, u, 240 * u, 120, tb::key_of(u - 2));   // alone
            tb::add_note(s, u, 240 * n, 240, tb::key_of(2 * u));  // all together
        }
        return s;
    };
    std::vector<int16_t> a = render_song(song(false), RATE), b = render_song(song(true), RATE);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_TRUE(a == b);
    std::vector<double> l = channel(a, 2, 0);
    for (size_t u = 0; u < voices.size(); u++)
        EXPECT_GT(rms(l, u * RATE / 2, u * RATE / 2 + RATE / 20), 0.02) << "unit " << u;
}

TEST(VoicePlaces, EveryUnitAndVoiceUpToTheCapsSounds) {
    // 256 units on 256 voices of every kind, each unit playing its own voice
    // once, 50 ms apart: every note is heard in its slot.
    tb::Song s;
    s.tempo = 60.0f;  // 480 ticks a second; a note every 24 ticks (50 ms)
    for (int u = 0; u < 256; u++) {
        tb::Voice v;
        switch (u % 4) {
        case 0:
            v = tb::sine_voice("sine");
            v.layers[0].env_tail = {{1, 0}};  // 10 ms release
            break;
        case 1: v = noise_voice(); break;
        case 2: v = pcm_sine(8, 1, 22050, 50, 1, 0.5, true); break;
        default: v = pcm_sine(16, 2, 44100, 4410, 1, 0.4, false); break;
        }
        s.voices.push_back(v);
        s.units.push_back("u" + std::to_string(u));
        tb::add_event(s, 0, u, tb::EV_VOICE_NO, 255 - u);
        tb::add_note(s, u, 24 * u, 12, tb::KEY_A4);
    }
    std::vector<double> l = channel(render_song(s, RATE), 2, 0);
    const size_t slot = RATE / 20, note = RATE / 40;
    for (size_t u = 0; u < 256; u++) {
        EXPECT_GT(rms(l, u * slot, u * slot + note), 0.02) << "unit " << u;
        EXPECT_LT(rms(l, u * slot + note + RATE / 80, (u + 1) * slot), 1e-3) << "after unit " << u;
    }
}

TEST(VoicePlaces, PcmOfEveryStoredFormatPlaysAtOnePitchAndLevel) {
    // A 441 Hz sine at half scale, stored 8 or 16 bits, mono or stereo, at
    // 11025, 22050 or 44100 frames a second, looped or a one-shot 0.25 s
    // long: the same pitch and level in every format, and a one-shot ends
    // with its data.
    double ref = 0.0;
    for (int bits : {16, 8})
        for (int channels : {1, 2})
            for (int rate : {44100, 22050, 11025})
                for (bool loop : {true, false}) {
                    SCOPED_TRACE(testing::Message() << bits << " bit, " << channels << " ch, " << rate
                                                    << (loop ? " Hz, looped" : " Hz, one-shot"));
                    const int period = rate / 441;
                    tb::Voice v = pcm_sine(bits, channels, rate, period, loop ? 1 : 441 / 4, 0.5, loop);
                    tb::Song s;
                    s.tempo = 60.0f;
                    s.units = {"u"};
                    s.voices = {v};
                    tb::add_note(s, 0, 0, 480, tb::KEY_A4);
                    std::vector<int16_t> out = render_song(s, RATE);
                    std::vector<double> l = channel(out, 2, 0), r = channel(out, 2, 1);
                    const size_t from = RATE / 50, to = RATE / 5;
                    EXPECT_NEAR(measure_frequency(l, from, to, RATE), 441.0, 0.1);
                    const double level = rms(l, from, to);
                    if (ref == 0.0) ref = level;
                    EXPECT_NEAR(level / ref, 1.0, 0.01);
                    EXPECT_NEAR(rms(r, from, to) / level, 1.0, 0.01);
                    const double after = rms(l, RATE * 26 / 100, RATE * 95 / 100);
                    if (loop) EXPECT_NEAR(after / level, 1.0, 0.01);
                    else EXPECT_LT(after, 1e-4);
                }
    EXPECT_GT(ref, 0.1);
}
