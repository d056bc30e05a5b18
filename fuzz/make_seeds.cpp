// make_seeds: writes the starting inputs of the fuzzers, made in code.
//
//   make_seeds DIR SKIN_DIR
//
// writes DIR/tunes/*.ptcop|*.pttune (small tunes from the tune builder, one
// for each voice kind, event kind and block the reader knows), DIR/names/*
// (lists of file names in the layout fuzz_names reads) and DIR/skins/* (skin
// file pairs in fuzz_skin's layout: the skin in SKIN_DIR, that skin spoilt in
// the ways the tests spoil it, and small BMPs of every kind the loader
// reads or refuses). Exits 1 when a file cannot be read or written. Nothing
// here comes from other people's tunes.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "bmp_bytes.h"
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
    tb::Song older = busy_song();  // the older editor's layout of blocks
    older.older = true;
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
        {"older.ptcop", older},
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

using bytes = std::string;

using bmp_bytes::bmp;
using bmp_bytes::put16;
using bmp_bytes::put32;

// Rows of `bits`-deep pixels in a pattern, each padded to four bytes.
bytes pattern_pixels(int32_t w, int32_t h, int bits)
{
    size_t row = static_cast<size_t>((w * bits + 31) / 32 * 4);
    bytes px(row * static_cast<size_t>(h), '\0');
    for (size_t i = 0; i < px.size(); i++)
        px[i] = static_cast<char>(i * 37 % 251);
    return px;
}

// The same sheet with a 124-byte V5 header and 32 bits a pixel, as image
// editors write by default.
bytes v5_bmp(int32_t w, int32_t h)
{
    bytes px = pattern_pixels(w, h, 32);
    bytes head;
    for (uint32_t v : {124u, static_cast<uint32_t>(w), static_cast<uint32_t>(h)})
        put32(head, v);
    put16(head, 1);
    put16(head, 32);
    for (uint32_t v : {3u, static_cast<uint32_t>(px.size()), 2835u, 2835u, 0u, 0u, 0x00ff0000u,
                       0x0000ff00u, 0x000000ffu, 0xff000000u, 0x73524742u})
        put32(head, v);
    head += bytes(48, '\0');
    for (uint32_t v : {4u, 0u, 0u, 0u})
        put32(head, v);
    bytes b = "BM";
    put32(b, static_cast<uint32_t>(14 + head.size() + px.size()));
    put32(b, 0);
    put32(b, static_cast<uint32_t>(14 + head.size()));
    return b + head + px;
}

// An OS/2 BMP (12-byte info header) of 24-bit pixels.
bytes os2_bmp(int32_t w, int32_t h)
{
    bytes px = pattern_pixels(w, h, 24);
    bytes b = "BM";
    put32(b, static_cast<uint32_t>(26 + px.size()));
    put32(b, 0);
    put32(b, 26);
    put32(b, 12);
    put16(b, static_cast<uint32_t>(w));
    put16(b, static_cast<uint32_t>(h));
    put16(b, 1);
    put16(b, 24);
    return b + px;
}

// Run-length runs of 255 pixels that overrun every row many times.
bytes overrunning_runs(int runs)
{
    bytes px;
    for (int i = 0; i < runs; i++)
        px += "\xff\x07";
    return px + bytes("\0\1", 2);
}

bytes with_size(bytes b, int32_t w, int32_t h)
{
    for (int k = 0; k < 4; k++) {
        b[static_cast<size_t>(18 + k)] = static_cast<char>(static_cast<uint32_t>(w) >> 8 * k);
        b[static_cast<size_t>(22 + k)] = static_cast<char>(static_cast<uint32_t>(h) >> 8 * k);
    }
    return b;
}

bool read_file(const fs::path &path, bytes &out)
{
    std::ifstream in(path, std::ios::binary);
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return static_cast<bool>(in) || in.eof();
}

// A skin input: which files exist, UI.bmp's length, then both files.
bytes skin_pair(const bytes *sheet, const bytes *tile)
{
    bytes b(1, static_cast<char>((sheet ? 1 : 0) | (tile ? 2 : 0)));
    put32(b, sheet ? static_cast<uint32_t>(sheet->size()) : 0);
    return b + (sheet ? *sheet : bytes()) + (tile ? *tile : bytes());
}

bool write_skins(const fs::path &dir, const fs::path &skin_dir)
{
    bytes ui, bg;
    if (!read_file(skin_dir / "UI.bmp", ui) || !read_file(skin_dir / "BG.bmp", bg) ||
        ui.size() < 54 || bg.size() < 54)
        return false;
    const bytes tile = bmp(2, 2, 24, 0, bytes(16, '\x40'));
    const bytes one_pixel = bmp(1, 1, 24, 0, bytes(4, '\x20'));
    const bytes bg_cut = bg.substr(0, bg.size() / 2);
    bytes os2_v2 = bmp(300, 120, 24, 0, pattern_pixels(300, 120, 24));
    os2_v2[14] = 64;
    const std::pair<const char *, bytes> sheets[] = {
        {"cut_short", ui.substr(0, ui.size() / 2)},
        {"huge_picture", with_size(ui, 40000, 40000)},
        {"claims_60000", bmp(60000, 60000, 24, 0, bytes(4096, '\x11'))},
        {"v5_32bit", v5_bmp(300, 120)},
        {"rle8_overrun", bmp(300, 120, 8, 1, overrunning_runs(400))},
        {"rle4_overrun", bmp(300, 120, 4, 2, overrunning_runs(400))},
        {"two_bits", bmp(300, 120, 2, 0, pattern_pixels(300, 120, 2))},
        {"jpeg_inside", bmp(300, 120, 24, 4, bytes(1000, '\xff'))},
        {"os2_v2", os2_v2},
        {"no_pixels", bmp(300, 120, 24, 0, bytes())},
        {"png_named_bmp", bytes("\x89PNG\r\n\x1a\n", 8)},
        {"too_small", bmp(100, 50, 24, 0, pattern_pixels(100, 50, 24))},
        {"os2", os2_bmp(288, 112)},
        {"bits1", bmp(288, 112, 1, 0, pattern_pixels(288, 112, 1))},
        {"bits4", bmp(288, 112, 4, 0, pattern_pixels(288, 112, 4))},
        {"bits8", bmp(288, 112, 8, 0, pattern_pixels(288, 112, 8))},
        {"bits16", bmp(288, 112, 16, 0, pattern_pixels(288, 112, 16))},
        {"bits16_fields", bmp(288, 112, 16, 3, pattern_pixels(288, 112, 16))},
        {"bits32", bmp(288, 112, 32, 0, pattern_pixels(288, 112, 32))},
    };
    std::vector<std::pair<std::string, bytes>> seeds = {
        {"demo", skin_pair(&ui, &bg)},
        {"no_sheet", skin_pair(nullptr, &bg)},
        {"no_backdrop", skin_pair(&ui, nullptr)},
        {"neither", skin_pair(nullptr, nullptr)},
        {"backdrop_cut_short", skin_pair(&ui, &bg_cut)},
        {"backdrop_one_pixel", skin_pair(&ui, &one_pixel)},
    };
    for (const auto &[name, sheet] : sheets)
        seeds.push_back({std::string("sheet_") + name, skin_pair(&sheet, &tile)});
    for (const auto &[name, data] : seeds)
        if (!write_bytes(dir / name, data))
            return false;
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_seeds DIR SKIN_DIR\n");
        return 2;
    }
    fs::path dir = argv[1];
    std::error_code ignored;
    for (const char *kind : {"tunes", "names", "skins"})
        fs::create_directories(dir / kind, ignored);
    if (!write_tunes(dir / "tunes") || !write_names(dir / "names") ||
        !write_skins(dir / "skins", argv[2])) {
        std::fprintf(stderr, "make_seeds: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
