// Song length and the information values: the last note's end rounded up to
// a whole measure, or the "last" position; the same in both file kinds.
#include <gtest/gtest.h>

#include "render_song.h"
#include "mix/renderer.h"
#include "tune.h"

using namespace test_support;
namespace tb = tune_builder;

namespace {

tb::Song one_unit_song() {
    tb::Song s;
    s.units = {"u"};
    s.voices = {tb::sine_voice("v")};
    return s;
}

}  // namespace

TEST(SongLength, LastNoteEndRoundsUpToAWholeMeasure) {
    tb::Song s = one_unit_song();
    s.beat_num = 3;
    s.tempo = 90.0f;
    tb::add_note(s, 0, 0, 480, tb::KEY_A4);
    tb::add_note(s, 0, 3 * 1440 + 10, 100, tb::KEY_A4);  // ends inside measure 5
    auto tune = load_song(s);
    pxtone::TuneInfo info = pxtone::tune_info(*tune);
    EXPECT_EQ(info.beat_num, 3);
    EXPECT_FLOAT_EQ(info.beat_tempo, 90.0f);
    EXPECT_EQ(info.beat_clock, 480);
    EXPECT_EQ(info.meas_num, 4);
    // 4 measures of 3 beats at 90 bpm: 8 s.
    pxtone::Renderer r(tune, 22050);
    EXPECT_EQ(r.length(), 8 * 22050);
    EXPECT_EQ(int64_t(render_tune(tune, 22050).size() / 2), 8 * 22050);
}

TEST(SongLength, NoteEndingOnABarLineAddsNoMeasure) {
    tb::Song s = one_unit_song();
    tb::add_note(s, 0, 0, 1920 * 2, tb::KEY_A4);
    EXPECT_EQ(pxtone::tune_info(*load_song(s)).meas_num, 2);
}

TEST(SongLength, LastPositionWinsWhenSet) {
    tb::Song s = one_unit_song();
    s.last_clock = 1920 * 3;
    tb::add_note(s, 0, 0, 480, tb::KEY_A4);
    tb::add_note(s, 0, 1920 * 5, 480, tb::KEY_A4);  // past the end: never heard
    auto tune = load_song(s);
    EXPECT_EQ(pxtone::tune_info(*tune).meas_num, 3);
    std::vector<int16_t> out = render_tune(tune, 22050);
    EXPECT_EQ(out.size() / 2, size_t(3 * 2 * 22050));
}

TEST(SongLength, PttuneKeepsItsTimingAtTheLowerResolution) {
    tb::Song s = one_unit_song();
    s.pttune = true;
    s.beat_clock = 48;
    tb::add_note(s, 0, 0, 48 * 6, tb::KEY_A4);
    auto tune = load_song(s);
    pxtone::TuneInfo info = pxtone::tune_info(*tune);
    EXPECT_EQ(info.beat_clock, 48);
    EXPECT_EQ(info.meas_num, 2);
    EXPECT_EQ(pxtone::Renderer(tune, 44100).length(), 4 * 44100);
}

TEST(SongLength, ProductOfInformationIsTheLengthInTicks) {
    tb::Song s = one_unit_song();
    s.tempo = 133.0f;
    tb::add_note(s, 0, 0, 5000, tb::KEY_A4);
    auto tune = load_song(s);
    pxtone::TuneInfo i = pxtone::tune_info(*tune);
    pxtone::Renderer r(tune, 44100);
    double ticks = double(i.beat_num) * i.beat_clock * i.meas_num;
    EXPECT_NEAR(double(r.length()), ticks / i.beat_clock * 60.0 / i.beat_tempo * 44100, 1.0);
}

TEST(SongLength, EmptySongHasNoLengthAndEndsAtOnce) {
    tb::Song s = one_unit_song();
    auto tune = load_song(s);
    EXPECT_EQ(pxtone::tune_info(*tune).meas_num, 0);
    pxtone::Renderer r(tune, 22050);
    int16_t buf[64];
    EXPECT_EQ(r.render(buf, 32, 2), 0);
    EXPECT_TRUE(r.ended());
}
