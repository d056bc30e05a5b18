// The shape of notes in time: envelope head and release timing, note
// edges without clicks, one note at a time per unit, one-shot samples.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "audio_measure.h"
#include "render_song.h"

using namespace test_support;
namespace tb = tune_builder;

namespace {

constexpr int RATE = 44100;

// RMS of the left channel in a 5 ms window around `t` seconds.
double level_at(const std::vector<double> &x, double t) {
    size_t c = size_t(t * RATE), h = size_t(0.0025 * RATE);
    return rms(x, c - h, c + h);
}

tb::Song song_with(const tb::Voice &v, int clock, int length) {
    tb::Song s;
    s.tempo = 60.0f;  // 480 ticks = 1 s
    s.units = {"u"};
    s.voices = {v};
    tb::add_note(s, 0, clock, length, tb::KEY_A4);
    return s;
}

}  // namespace

TEST(NoteShape, EnvelopeHeadRisesLinearlyThenHoldsThenReleases) {
    tb::Voice v = tb::sine_voice("s", 128);
    v.layers[0].env_head = {{20, 128}, {30, 64}};  // up in 0.2 s, down to half by 0.5 s
    v.layers[0].env_tail = {{25, 0}};              // 0.25 s release
    std::vector<double> x = channel(render_song(song_with(v, 0, 480), RATE), 2, 0);
    double full = level_at(x, 0.2);
    ASSERT_GT(full, 0.1);
    EXPECT_NEAR(level_at(x, 0.1) / full, 0.5, 0.03);
    EXPECT_NEAR(level_at(x, 0.35) / full, 0.75, 0.03);
    EXPECT_NEAR(level_at(x, 0.8) / full, 0.5, 0.03);        // held until key-off at 1 s
    EXPECT_NEAR(level_at(x, 1.125) / full, 0.25, 0.03);     // halfway through the release
    EXPECT_LT(rms(x, size_t(1.26 * RATE), size_t(1.9 * RATE)), 1e-4);
}

TEST(NoteShape, KeyOffDuringTheHeadReleasesFromTheLevelReached) {
    tb::Voice v = tb::sine_voice("s", 128);
    v.layers[0].env_head = {{100, 128}};  // 1 s rise
    v.layers[0].env_tail = {{20, 0}};
    std::vector<double> x = channel(render_song(song_with(v, 0, 240), RATE), 2, 0);  // off at 0.5 s
    double at_off = level_at(x, 0.495);
    EXPECT_NEAR(level_at(x, 0.6) / at_off, 0.5, 0.05);
    EXPECT_LT(level_at(x, 0.72), 1e-4);
}

TEST(NoteShape, UnitIsMonophonicANewNoteCutsTheOld) {
    tb::Song s;
    s.tempo = 60.0f;
    s.units = {"u"};
    s.voices = {tb::sine_voice("s")};
    tb::add_note(s, 0, 0, 480 * 3, tb::KEY_A4);
    tb::add_note(s, 0, 480, 480, tb::key_of(12));
    std::vector<int16_t> out = render_song(s, RATE);
    std::vector<double> x = channel(out, 2, 0);
    // Only the new note sounds: one clean frequency, and after its end silence.
    EXPECT_NEAR(semitones(882.0, measure_frequency(x, size_t(1.05 * RATE), size_t(1.9 * RATE), RATE)), 0.0, 0.05);
    EXPECT_LT(rms(x, size_t(2.1 * RATE), size_t(2.9 * RATE)), 1e-4);
}

TEST(NoteShape, NoteEdgesHaveNoClicks) {
    // Sine notes cut near their peaks, by the next note and by their end
    // (no release): steps between samples stay near the waves' own (a hard
    // cut would step by the full amplitude, ten times more).
    tb::Voice v = tb::sine_voice("s", 128);
    v.layers[0].env_tail = {{0, 0}};
    tb::Song s;
    s.tempo = 60.0f;
    s.units = {"u"};
    s.voices = {v};
    tb::add_note(s, 0, 0, 241, tb::KEY_A4);
    tb::add_note(s, 0, 241, 101, tb::key_of(5));
    std::vector<double> x = channel(render_song(s, RATE), 2, 0);
    double first = max_step(x, size_t(0.1 * RATE), size_t(0.4 * RATE));
    double second = max_step(x, size_t(0.55 * RATE), size_t(0.65 * RATE));
    ASSERT_GT(first, 0.01);
    EXPECT_LE(max_step(x, size_t(0.49 * RATE), size_t(0.52 * RATE)), (first + second) * 1.25);
    EXPECT_LE(max_step(x, size_t(0.70 * RATE), size_t(0.75 * RATE)), second * 1.25);
}

TEST(NoteShape, OneShotSampleEndsWithItsDataAndNoteEndGatesIt) {
    std::vector<int16_t> burst(4410);  // 0.1 s
    for (size_t i = 0; i < burst.size(); i++) burst[i] = int16_t(16000 * std::sin(2 * M_PI * 441 * i / 44100.0));
    tb::Voice v = tb::pcm_voice("burst", burst, 44100, false);
    std::vector<double> x = channel(render_song(song_with(v, 0, 480), RATE), 2, 0);
    EXPECT_GT(rms(x, 0, size_t(0.09 * RATE)), 0.1);
    EXPECT_LT(rms(x, size_t(0.11 * RATE), size_t(0.9 * RATE)), 1e-4);
    // A note shorter than the sample cuts it (after a short fade).
    std::vector<int16_t> long_burst(44100);
    for (size_t i = 0; i < long_burst.size(); i++) long_burst[i] = 12000;
    v = tb::pcm_voice("long", long_burst, 44100, false);
    x = channel(render_song(song_with(v, 0, 96), RATE), 2, 0);  // 0.2 s
    EXPECT_GT(rms(x, 0, size_t(0.19 * RATE)), 0.1);
    EXPECT_LT(rms(x, size_t(0.25 * RATE), size_t(0.9 * RATE)), 1e-4);
}

TEST(NoteShape, SmoothSampleFadesOutOverItsLastFourMillisecondsAndNextNoteStartsFull) {
    // A looped constant, two 0.1 s notes back to back (48 ticks at 60 bpm).
    std::vector<int16_t> flat(200, 16000);
    tb::Song s;
    s.tempo = 60.0f;
    s.units = {"u"};
    s.voices = {tb::pcm_voice("flat", flat, 44100, true)};
    tb::add_note(s, 0, 0, 48, tb::KEY_A4);
    tb::add_note(s, 0, 48, 48, tb::KEY_A4);
    std::vector<double> x = channel(render_song(s, RATE), 2, 0);
    const size_t end = 4410, fade = 176;  // 4 ms
    const double full = x[2000];
    ASSERT_GT(full, 0.1);
    EXPECT_DOUBLE_EQ(x[end - fade - 1], full);
    EXPECT_NEAR(x[end - fade / 2] / full, 0.5, 0.02);
    EXPECT_LT(x[end - 1] / full, 0.01);
    EXPECT_DOUBLE_EQ(x[end], full) << "the next note starts at full level";
    for (size_t i = 2 * end; i < 3 * end; i++) ASSERT_EQ(x[i], 0.0) << "sound after the end at " << i;
}

TEST(NoteShape, ANoteFallsSilentWhereTheUnitsNextNoteBegins) {
    // A square with a 0.3 s release. Note A (0.05 s) is still releasing
    // when note B starts at 0.1 s; B (0.1 s) ends where C starts, at 0.2 s.
    // Each stops at the next one's start, fading over the 4 ms before it,
    // so from there on only the new note sounds.
    tb::Voice v = tb::sine_voice("sq", 128);
    v.layers[0].use_overtones = false;
    v.layers[0].coord_width = 2;
    v.layers[0].coords = {{0, 127}, {1, -127}};
    v.layers[0].env_tail = {{30, 0}};
    struct Note {
        int clock, length, key;  // 48 ticks = 0.1 s
    };
    auto render = [&](std::vector<Note> notes) {
        tb::Song s;
        s.tempo = 60.0f;
        s.units = {"u"};
        s.voices = {v};
        for (const Note &n : notes) tb::add_note(s, 0, n.clock, n.length, n.key);
        return channel(render_song(s, RATE), 2, 0);
    };
    const Note na{0, 24, tb::KEY_A4}, nb{48, 48, tb::key_of(3)}, nc{96, 48, tb::key_of(7)};
    const std::vector<double> all = render({na, nb, nc});
    const std::vector<double> a = render({na}), b = render({nb}), c = render({nc});
    const size_t fade = 176;  // 4 ms
    for (const auto &[from, to, alone] : {std::tuple{size_t(0), size_t(4410), &a},
                                          std::tuple{size_t(4410), size_t(8820), &b}}) {
        const std::vector<double> &x = *alone;
        ASSERT_GT(std::fabs(x[to - fade - 1]), 0.05);
        for (size_t i = from; i < to - fade; i++) ASSERT_EQ(all[i], x[i]) << i;
        for (size_t i = to - fade; i < to; i++)
            ASSERT_NEAR(all[i], x[i] * double(to - i) / fade, 1.5 / 32768) << i;
    }
    for (size_t i = 8820; i < c.size(); i++) ASSERT_EQ(all[i], c[i]) << i;
}

TEST(NoteShape, SampleWithoutTheSmoothFlagStopsAtTheNoteEnd) {
    std::vector<int16_t> flat(200, 16000);
    tb::Voice v = tb::pcm_voice("flat", flat, 44100, true);
    v.voice_flags = 1;  // loop only
    std::vector<double> x = channel(render_song(song_with(v, 0, 48), RATE), 2, 0);
    EXPECT_GT(x[4409], 0.1);
    EXPECT_DOUBLE_EQ(x[4409], x[2000]);
    for (size_t i = 4410; i < 8820; i++) ASSERT_EQ(x[i], 0.0) << i;
}

TEST(NoteShape, VoiceNumberPicksTheVoiceForTheNextNotes) {
    std::vector<int16_t> cycle(50);  // 882 Hz at A4
    for (int i = 0; i < 50; i++) cycle[size_t(i)] = int16_t(20000 * std::sin(2 * M_PI * i / 50));
    tb::Song s;
    s.tempo = 60.0f;
    s.units = {"u"};
    s.voices = {tb::sine_voice("s"), tb::pcm_voice("p", cycle, 44100, true)};
    tb::add_note(s, 0, 0, 240, tb::KEY_A4);
    tb::add_event(s, 480, 0, tb::EV_VOICE_NO, 1);
    tb::add_note(s, 0, 480, 240, tb::KEY_A4);
    std::vector<double> x = channel(render_song(s, RATE), 2, 0);
    EXPECT_NEAR(measure_frequency(x, size_t(0.1 * RATE), size_t(0.4 * RATE), RATE), 441.0, 0.5);
    EXPECT_NEAR(measure_frequency(x, size_t(1.1 * RATE), size_t(1.4 * RATE), RATE), 882.0, 0.5);
}

TEST(NoteShape, EnvelopeMovesInWholeStepsAndAHeadToSilenceHoldsOneStep) {
    // Full to silence in 0.5 s: the level falls by 1/128 every 3.9 ms, and
    // after the head the note holds at 1/128 of full until key-off at 1 s.
    tb::Voice v = tb::sine_voice("s", 128);
    v.layers[0].use_overtones = false;
    v.layers[0].coord_width = 2;
    v.layers[0].coords = {{0, 127}, {1, -127}};  // a square: its level shows in every sample
    v.layers[0].env_head = {{0, 128}, {50, 0}};
    v.layers[0].env_tail = {{0, 0}};
    std::vector<double> x = channel(render_song(song_with(v, 0, 480), RATE), 2, 0);
    auto level = [&](double t) { return std::fabs(x[size_t(t * RATE)]); };
    const double full = level(0.0001);
    ASSERT_GT(full, 0.3);
    // Inside one step the level does not move.
    EXPECT_EQ(level(0.2500), level(0.2501));
    int steps = 0;
    for (size_t i = size_t(0.1 * RATE); i < size_t(0.2 * RATE); i++)
        steps += std::fabs(std::fabs(x[i]) - std::fabs(x[i - 1])) > 1e-6;
    EXPECT_NEAR(steps, 26, 2);  // 0.1 s / 3.9 ms
    EXPECT_NEAR(level(0.75) / full, 1.0 / 128, 0.002);
    EXPECT_LT(level(1.05), 1e-6);
}
