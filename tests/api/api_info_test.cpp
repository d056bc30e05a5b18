// What bw_get_info and bw_effect_text tell of built tunes, without
// rendering: texts as UTF-8 from the encodings files hold, timing, lengths
// at the instance's rate, units, voices by kind, effects. (ptrender --info,
// which goes through them, is tested on a tune of every voice kind.)
#include <cstdio>
#include <cstring>
#include <string>

#include "api_songs.h"

namespace tb = tune_builder;

namespace {

// measures, repeat measure, frames and repeat frame at 22050 Hz, units,
// ptvoice/ptnoise/PCM/Ogg voices, silent ones, delays/overdrives
std::string numbers(const bw_info &i) {
    char text[200];
    std::snprintf(text, sizeof text, "%d %d %lld %lld %d %d/%d/%d/%d %d %d/%d", i.measures, i.repeat_measure,
                  (long long)i.frames, (long long)i.repeat_frame, i.units, i.ptvoice_voices, i.ptnoise_voices,
                  i.pcm_voices, i.ogg_voices, i.silent_voices, i.delays, i.overdrives);
    return text;
}

// A name in another encoding, the end set mid-measure, the repeat in the
// second measure; with `odd`, a delay and a PCM voice of 12-bit samples,
// which no reader takes: it plays silent.
tb::Song with(const char *name, bool odd) {
    tb::Song s;
    s.name = name;
    s.last_clock = 2500;
    s.repeat_clock = 1930;
    s.units = {"u"};
    s.voices = {tb::sine_voice("s")};
    if (odd) {
        s.voices.push_back(tb::pcm_voice("odd", {1, 2, 3}, 8000, false));
        s.voices.back().pcm_bits = 12;
        s.delays = {tb::Delay{1, 3, 40.0f, 1.0f}};
    }
    tb::add_note(s, 0, 0, 400, tb::KEY_A4);
    return s;
}

}  // namespace

TEST(ApiInfo, TellsWhatBuiltTunesHold) {
    const struct {
        tb::Song song;
        const char *title, *warning, *numbers, *effect;
    } cases[] = {
        {with("\x83\x65\x83\x58\x83\x67", false), "\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88", "",
         "2 1 57422 44330 1 1/0/0/0 0 0/0", nullptr},
        {with("Caf\xe9 \x93ol\xe9\x94", true), "Caf\xc3\xa9 \xe2\x80\x9col\xc3\xa9\xe2\x80\x9d", "bad voice: odd",
         "2 1 57422 44330 1 1/0/1/0 1 1/0", "delay, group 3: an echo every 1 measures (2.000 s) at 40 %"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        Tune t(bw_new(22050, 1));
        const std::vector<uint8_t> bytes = tb::build(c.song);
        ASSERT_EQ(bw_load_memory(t.get(), bytes.data(), bytes.size(), "x.ptcop"), 1) << bw_error(t.get());
        EXPECT_STREQ(bw_error(t.get()), c.warning);
        bw_info i;
        ASSERT_EQ(bw_get_info(t.get(), &i, sizeof i), 1);
        EXPECT_STREQ(i.title, c.title);
        EXPECT_STREQ(i.comment, "");
        EXPECT_EQ(i.tempo, 120.0);
        EXPECT_EQ(i.beats_per_measure * 1000 + i.ticks_per_beat, 4480);
        EXPECT_EQ(numbers(i), c.numbers);
        EXPECT_EQ(i.repeat_frames, i.frames - i.repeat_frame);
        EXPECT_STREQ(bw_effect_text(t.get(), 0), c.effect);
        EXPECT_EQ(bw_effect_text(t.get(), 1), nullptr) << "past the last";
        // A caller built against a shorter record gets only its fields.
        bw_info part;
        std::memset(&part, 0x5a, sizeof part);
        ASSERT_EQ(bw_get_info(t.get(), &part, offsetof(bw_info, tempo)), 1);
        EXPECT_STREQ(part.title, c.title);
        EXPECT_EQ(part.beats_per_measure, 0x5a5a5a5a);
    }
}

TEST(ApiInfo, ProbeTellsTheFormatByTheFileCodeAlone) {
    const struct {
        const char *bytes;
        size_t size;
        int format;
    } cases[] = {
        {"PTCOLLAGE-071119", 16, BW_FORMAT_PTCOP},
        {"PTTUNE--20071119....", 20, BW_FORMAT_PTTUNE},
        {"PTCOLLAGE-060930", 16, BW_FORMAT_PTCOP},
        {"PTCOLLAGE-991231", 16, BW_FORMAT_PTCOP},  // a version no load takes
        {"PTTUNE--20071119", 15, BW_FORMAT_NONE},   // too few bytes
        {"PTCOLLAGE-07111x", 16, BW_FORMAT_NONE},
        {"PTTUNE--2007111 ", 16, BW_FORMAT_NONE},
        {"ptcollage-071119", 16, BW_FORMAT_NONE},
        {"RIFF....WAVEfmt ", 16, BW_FORMAT_NONE},
        {nullptr, 16, BW_FORMAT_NONE},
    };
    for (const auto &c : cases) EXPECT_EQ(bw_probe(c.bytes, c.size), c.format) << (c.bytes ? c.bytes : "NULL");
    tb::Song song = with("x", false);
    for (int format : {BW_FORMAT_PTCOP, BW_FORMAT_PTTUNE}) {
        song.pttune = format == BW_FORMAT_PTTUNE;
        const std::vector<uint8_t> built = tb::build(song);
        EXPECT_EQ(bw_probe(built.data(), built.size()), format);
    }
}
