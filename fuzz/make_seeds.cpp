// make_seeds: writes the starting inputs of the fuzzers, made in code.
//
//   make_seeds DIR
//
// writes DIR/tunes/*.ptcop|*.pttune (small tunes from the tune builder, one
// for each voice kind, event kind and block the reader knows) and
// DIR/names/* (lists of file names in the layout fuzz_names reads). Exits 1
// when a file cannot be written. Nothing here comes from other people's tunes.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tune_builder.h"

namespace tb = tune_builder;
namespace fs = std::filesystem;

namespace {

tb::Song one_note_song(tb::Voice voice)
{
    tb::Song s;
    s.beat_clock = 480;
    s.tempo = 240.0f;
    s.voices = {std::move(voice)};
    s.units = {"u"};
    tb::add_note(s, 0, 0, 480, tb::KEY_A4);
    tb::add_note(s, 0, 960, 240, tb::key_of(7), 80);
    return s;
}

std::vector<int16_t> short_wave(int n)
{
    std::vector<int16_t> wave(static_cast<size_t>(n));
    for (int i = 0; i < n; i++)
        wave[static_cast<size_t>(i)] = static_cast<int16_t>(12000 * std::sin(i * 0.21));
    return wave;
}

tb::Voice noise_voice()
{
    tb::Voice v;
    v.kind = tb::VoiceKind::ptnoise;
    v.name = "noise";
    v.noise_samples = 2000;
    tb::PtnUnit unit;
    unit.main.type = 4;
    unit.has_pan = true;
    unit.pan = 20;
    unit.has_fm = true;
    unit.fm.type = 1;
    unit.fm.freq_hz = 5.0;
    unit.has_am = true;
    unit.am.type = 6;
    unit.am.freq_hz = 30.0;
    tb::PtnUnit saw;
    saw.main.type = 2;
    saw.main.reverse = 1;
    v.noise_units = {unit, saw};
    return v;
}

tb::Voice two_layer_voice()
{
    tb::Voice v = tb::sine_voice("layers");
    tb::PtvLayer coords;
    coords.use_overtones = false;
    coords.coord_width = 64;
    coords.coords = {{0, 0}, {16, 100}, {40, -90}, {63, 0}};
    coords.pan = 20;
    coords.tuning = 1.01f;
    coords.env_head = {{0, 0}, {40, 128}, {100, 60}};
    coords.env_tail = {{200, 0}};
    v.layers.push_back(coords);
    v.layers[0].overtones = {{1, 128}, {2, 40}, {3, -30}};
    return v;
}

tb::Voice pcm_kind(int channels, int bits, int rate, bool loop)
{
    tb::Voice v = tb::pcm_voice("pcm", short_wave(300), rate, loop);
    v.pcm_channels = channels;
    v.pcm_bits = bits;
    v.data.assign(static_cast<size_t>(300 * channels * bits / 8), 0);
    for (size_t i = 0; i < v.data.size(); i++)
        v.data[i] = static_cast<uint8_t>(128 + 100 * std::sin(static_cast<double>(i) * 0.3));
    return v;
}

// Every event kind on two units, a repeat and a last position, texts, a
// delay effect.
tb::Song busy_song()
{
    tb::Song s = one_note_song(tb::sine_voice("a"));
    s.voices.push_back(noise_voice());
    s.units = {"lead", "drum"};
    s.name = "busy";
    s.comment = "every event kind";
    s.repeat_clock = 480;
    s.last_clock = 480 * 6;
    s.delays.push_back(tb::Delay{});
    tb::add_event(s, 0, 1, tb::EV_VOICE_NO, 1);
    tb::add_event(s, 0, 1, tb::EV_GROUP_NO, 0);
    tb::add_event(s, 0, 0, tb::EV_PAN_VOLUME, 30);
    tb::add_event(s, 0, 0, tb::EV_PAN_TIME, 70);
    tb::add_event(s, 0, 0, tb::EV_VOLUME, 90);
    tb::add_event(s, 0, 0, tb::EV_KEY_CORRECT, 0x3f800000);
    tb::add_event(s, 240, 0, tb::EV_KEY_PORTA, 120);
    tb::add_event(s, 240, 0, tb::EV_KEY, tb::key_of(-5));
    for (int k = 0; k < 8; k++)
        tb::add_note(s, 1, 240 * k, 60, tb::key_of(k));
    return s;
}

// Three units in groups 1-3: delays counted in beats, measures and
// seconds, two overdrives, and a delay and an overdrive on group 1; one unit
// changes group halfway.
tb::Song effects_song()
{
    tb::Song s = one_note_song(tb::sine_voice("a"));
    s.voices.push_back(noise_voice());
    s.units = {"one", "two", "three"};
    for (int g = 1; g <= 3; g++) {
        tb::Delay d;
        d.unit = g - 1;
        d.group = g;
        d.rate = 20.0f * float(g);
        d.freq = 1.5f * float(g);
        s.delays.push_back(d);
        tb::add_event(s, 0, g - 1, tb::EV_GROUP_NO, g);
        tb::add_note(s, g - 1, 120 * g, 240, tb::key_of(3 * g));
    }
    s.overdrives = {tb::Overdrive{1, 90.0f, 2.0f}, tb::Overdrive{2, 77.0f, 3.0f}};
    tb::add_event(s, 0, 1, tb::EV_VOICE_NO, 1);
    tb::add_event(s, 960, 2, tb::EV_GROUP_NO, 1);
    tb::add_note(s, 2, 960, 240, tb::KEY_A4);
    return s;
}

bool write_bytes(const fs::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool write_tunes(const fs::path &dir)
{
    struct seed {
        const char *name;
        tb::Song song;
    };
    tb::Song pttune = one_note_song(tb::sine_voice("sine"));
    pttune.pttune = true;
    pttune.beat_clock = 48;
    pttune.events.clear();
    tb::add_note(pttune, 0, 0, 48, tb::KEY_A4);
    const seed seeds[] = {
        {"sine.ptcop", one_note_song(tb::sine_voice("sine"))},
        {"sine.pttune", pttune},
        {"layers.ptcop", one_note_song(two_layer_voice())},
        {"noise.ptcop", one_note_song(noise_voice())},
        {"pcm16_mono_loop.ptcop", one_note_song(pcm_kind(1, 16, 44100, true))},
        {"pcm8_stereo.ptcop", one_note_song(pcm_kind(2, 8, 11025, false))},
        {"pcm16_stereo.ptcop", one_note_song(pcm_kind(2, 16, 22050, false))},
        {"busy.ptcop", busy_song()},
        {"effects.ptcop", effects_song()},
    };
    for (const seed &s : seeds)
        if (!tb::write_file(s.song, (dir / s.name).string()))
            return false;
    return true;
}

// A names input: file names separated by NUL bytes (see fuzz_names.cpp).
std::string joined(const std::vector<std::string> &names)
{
    std::string out;
    for (const std::string &name : names)
        out += name + '\0';
    return out;
}

bool write_names(const fs::path &dir)
{
    const std::vector<std::string> lists[] = {
        {"song.ptcop", "a.b.pttune", "x.z.ptcop", "SONG.PTCOP", ".ptcop"},
        {std::string(57, 'a') + ".ptcop", std::string(58, 'b') + ".ptcop",
         std::string(193, 'c') + ".pttune"},
        {"name with spaces.ptcop", "..hidden.pttune", "\xff\xfe\xc3(.ptcop", "\xe2\x82.pttune"},
        {"exactly23characters.pt", "twentyfour_characters.ptcop", "twentyfourcharactersxyz.pttune"},
    };
    int k = 0;
    for (const std::vector<std::string> &list : lists)
        if (!write_bytes(dir / ("names" + std::to_string(k++)), joined(list)))
            return false;
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds DIR\n");
        return 2;
    }
    fs::path dir = argv[1];
    std::error_code ignored;
    fs::create_directories(dir / "tunes", ignored);
    fs::create_directories(dir / "names", ignored);
    if (!write_tunes(dir / "tunes") || !write_names(dir / "names")) {
        std::fprintf(stderr, "make_seeds: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
