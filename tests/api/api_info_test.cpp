// What bw_get_info and bw_effect_text tell of built tunes, without
// rendering: texts as UTF-8 from any of the encodings files hold, timing,
// lengths at the instance's rate, units, voices by kind, effects.
#include <cstring>

#include "api_songs.h"

namespace tb = tune_builder;

namespace {

struct Expected {
    const char *what;
    tb::Song song;
    const char *title, *comment;
    int measures, repeat_measure;
    int64_t frames, repeat_frame;  // at 22050 Hz
    int ptvoice, ptnoise, pcm, silent;
    std::vector<const char *> effects;
    const char *warning;
};

tb::Song night_ferry() {
    tb::Song s;
    s.name = "Night Ferry";
    s.comment = "two lines\r\nand \x1b[31mred";
    s.tempo = 150.0f;
    s.beat_num = 3;
    s.repeat_clock = 2 * 1440;
    s.units = {"a", "b", "c"};
    tb::Voice noise;
    noise.kind = tb::VoiceKind::ptnoise;
    noise.noise_units = {tb::PtnUnit()};
    s.voices = {tb::sine_voice("s1"), tb::sine_voice("s2"), noise, tb::pcm_voice("p", {0, 9000, 0}, 22050, true)};
    s.delays = {tb::Delay{0, 1, 25.0f, 0.8f}};
    s.overdrives = {tb::Overdrive{2, 90.0f, 2.0f}};
    tb::add_note(s, 2, 4 * 1440, 100, tb::KEY_A4);  // in the fifth measure
    return s;
}

// A name in another encoding, a last position set mid-measure and a PCM
// voice of 12-bit samples, which no reader takes: it plays silent.
tb::Song with(const char *name, bool bad_voice) {
    tb::Song s;
    s.name = name;
    s.last_clock = 2500;
    s.units = {"u"};
    s.voices = {tb::sine_voice("s")};
    if (bad_voice) {
        s.voices.push_back(tb::pcm_voice("odd", {1, 2, 3}, 8000, false));
        s.voices.back().pcm_bits = 12;
    }
    tb::add_note(s, 0, 0, 400, tb::KEY_A4);
    return s;
}

}  // namespace

TEST(ApiInfo, TellsWhatBuiltTunesHold) {
    const Expected cases[] = {
        {"every kind", night_ferry(), "Night Ferry", "two lines\nand ?[31mred", 5, 2, 132300, 52920, 2, 1, 1, 0,
         {"delay, group 1: an echo every 1.25 beats (0.500 s) at 25 %", "overdrive, group 2: cut 90 %, amp 2"}, ""},
        {"Shift JIS", with("\x83\x65\x83\x58\x83\x67", false), "\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88", "", 2, 0,
         57422, 0, 1, 0, 0, 0, {}, ""},
        {"Latin, a bad voice", with("Caf\xe9 \x93ol\xe9\x94", true), "Caf\xc3\xa9 \xe2\x80\x9col\xc3\xa9\xe2\x80\x9d",
         "", 2, 0, 57422, 0, 1, 0, 1, 1, {}, "bad voice: odd"},
    };
    for (const Expected &e : cases) {
        SCOPED_TRACE(e.what);
        Tune t(bw_new(22050, 1));
        const std::vector<uint8_t> bytes = tb::build(e.song);
        ASSERT_EQ(bw_load_memory(t.get(), bytes.data(), bytes.size(), "x.ptcop"), 1) << bw_error(t.get());
        EXPECT_STREQ(bw_error(t.get()), e.warning);
        bw_info i;
        ASSERT_EQ(bw_get_info(t.get(), &i, sizeof i), 1);
        EXPECT_STREQ(i.title, e.title);
        EXPECT_STREQ(i.comment, e.comment);
        EXPECT_EQ(i.tempo, e.song.tempo);
        EXPECT_EQ(i.beats_per_measure, e.song.beat_num);
        EXPECT_EQ(i.ticks_per_beat, 480);
        EXPECT_EQ(i.measures, e.measures);
        EXPECT_EQ(i.repeat_measure, e.repeat_measure);
        EXPECT_EQ(i.frames, e.frames);
        EXPECT_EQ(i.repeat_frame, e.repeat_frame);
        EXPECT_EQ(i.repeat_frames, e.frames - e.repeat_frame);
        EXPECT_EQ(i.units, int(e.song.units.size()));
        EXPECT_EQ(i.ptvoice_voices, e.ptvoice);
        EXPECT_EQ(i.ptnoise_voices, e.ptnoise);
        EXPECT_EQ(i.pcm_voices, e.pcm);
        EXPECT_EQ(i.ogg_voices, 0);
        EXPECT_EQ(i.silent_voices, e.silent);
        EXPECT_EQ(i.delays, int(e.song.delays.size()));
        EXPECT_EQ(i.overdrives, int(e.song.overdrives.size()));
        for (size_t k = 0; k <= e.effects.size(); k++) {
            const char *line = bw_effect_text(t.get(), int(k));
            if (k < e.effects.size())
                EXPECT_STREQ(line, e.effects[k]);
            else
                EXPECT_EQ(line, nullptr) << "past the last";
        }
        // A caller built against a shorter record gets only its fields.
        bw_info part;
        std::memset(&part, 0x5a, sizeof part);
        ASSERT_EQ(bw_get_info(t.get(), &part, offsetof(bw_info, tempo)), 1);
        EXPECT_STREQ(part.comment, e.comment);
        EXPECT_EQ(part.beats_per_measure, 0x5a5a5a5a);
        bw_position pos;
        ASSERT_EQ(bw_get_position(t.get(), &pos), 1);
        EXPECT_EQ(pos.frame + pos.song_frame + pos.tick, 0);
        EXPECT_EQ(pos.pass, 1);
    }
}
