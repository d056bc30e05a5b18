// Damaged and hostile input: truncated corpus tunes, flipped bytes, random
// bytes, absurd counts. Each must give a clear error or a playable tune,
// never a crash, a hang or unbounded memory. The damaged inputs are made
// here, at test time, from the corpus read in place.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "corpus_files.h"
#include "render_song.h"
#include "mix/renderer.h"
#include "tune.h"
#include "tune_builder.h"

using namespace test_support;
namespace tb = tune_builder;

namespace {

// Loads bytes and, when they load, renders a little of them.
void load_and_play(const std::vector<uint8_t> &bytes) {
    pxtone::LoadResult r = pxtone::load_tune(bytes.data(), bytes.size(), "x");
    if (!r.tune) {
        EXPECT_FALSE(r.error.empty());
        EXPECT_LE(r.error.size(), 36u);
        return;
    }
    pxtone::Renderer ren(r.tune, 22050);
    int16_t buf[2 * 512];
    for (int i = 0; i < 8 && ren.render(buf, 512, 2) > 0; i++) {
    }
    ren.seek(ren.length() / 2);
    ren.render(buf, 512, 2);
}

std::vector<std::string> some_corpus_tunes() {
    std::vector<std::string> all = corpus_tunes(), pick;
    for (const std::string &p : all)
        if (p.find("base0.ptcop") != std::string::npos || p.find("song.pttune") != std::string::npos ||
            p.find("ld27/Pxtone/Title") != std::string::npos || p.find("/title.ptcop") != std::string::npos ||
            p.find("tone1.ptcop") != std::string::npos)
            pick.push_back(p);
    return pick;
}

tb::Song sines_only() {
    tb::Song s;
    s.units = {"u"};
    s.voices = {tb::sine_voice("v")};
    tb::add_note(s, 0, 0, 480, tb::KEY_A4);
    return s;
}

// A few corpus tunes and, built here, one in the older editor's layout.
std::vector<std::pair<std::string, std::vector<uint8_t>>> tunes_to_damage() {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
    for (const std::string &path : some_corpus_tunes()) out.push_back({path, read_bytes(path)});
    tb::Song older = sines_only();
    older.older = true;
    tb::add_note(older, 0, 960, 480, tb::key_of(3));
    out.push_back({"older layout", tb::build(older)});
    return out;
}

}  // namespace

TEST(HostileInput, TruncatedCorpusTunesAreRefused) {
    for (const auto &[what, bytes] : tunes_to_damage()) {
        SCOPED_TRACE(what);
        for (size_t cut = 0; cut < bytes.size(); cut++) {
            std::vector<uint8_t> head(bytes.begin(), bytes.begin() + long(cut));
            pxtone::LoadResult r = pxtone::load_tune(head.data(), head.size(), "cut.ptcop");
            ASSERT_FALSE(r.tune) << "cut at " << cut;
            // Its file code whole, it is a tune cut short.
            ASSERT_EQ(r.error, cut < 16 ? "not a tune: cut.ptcop" : "damaged tune: cut.ptcop");
        }
    }
}

TEST(HostileInput, FlippedBytesNeverCrash) {
    std::mt19937 rng(20240611);
    for (const auto &[what, bytes] : tunes_to_damage()) {
        for (int trial = 0; trial < 300; trial++) {
            std::vector<uint8_t> b = bytes;
            int flips = 1 + int(rng() % 8);
            for (int i = 0; i < flips; i++) b[rng() % b.size()] ^= uint8_t(1u << (rng() % 8));
            load_and_play(b);
        }
    }
}

TEST(HostileInput, RandomBytesAreNotATune) {
    std::mt19937 rng(7);
    std::vector<uint8_t> junk(100000);
    for (uint8_t &b : junk) b = uint8_t(rng());
    pxtone::LoadResult r = pxtone::load_tune(junk.data(), junk.size(), "junk.ptcop");
    EXPECT_FALSE(r.tune);
    EXPECT_EQ(r.error, "not a tune: junk.ptcop");
    // A right file code followed by junk is damaged, not a crash.
    const char code[] = "PTCOLLAGE-071119";
    std::copy(code, code + 16, junk.begin());
    r = pxtone::load_tune(junk.data(), junk.size(), "junk.ptcop");
    EXPECT_FALSE(r.tune);
    EXPECT_EQ(r.error, "damaged tune: junk.ptcop");
    // A pxtone file code of a date not read names the version.
    for (const char *code : {"PTCOLLAGE-050227", "PTTUNE--20090101", "PTCOLLAGE-07111x"}) {
        std::copy(code, code + 16, junk.begin());
        const bool dated = code[15] != 'x';
        EXPECT_EQ(pxtone::load_tune(junk.data(), junk.size(), "junk.ptcop").error,
                  dated ? "unsupported tune version: junk.ptcop" : "not a tune: junk.ptcop");
    }
}

TEST(HostileInput, HugeFileIsRefusedFromItsHead) {
    std::string path = std::string(BUILD_DIR) + "/huge_random.ptcop";
    std::FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::mt19937 rng(3);
    std::vector<uint8_t> chunk(1 << 20);
    for (int i = 0; i < 100; i++) {
        for (uint8_t &b : chunk) b = uint8_t(rng());
        std::fwrite(chunk.data(), 1, chunk.size(), f);
    }
    std::fclose(f);
    pxtone::LoadResult r = pxtone::load_tune_file(path, "huge_random.ptcop");
    EXPECT_EQ(r.error, "not a tune: huge_random.ptcop");
    // The same size behind a right file code is refused by its size.
    f = std::fopen(path.c_str(), "r+b");
    std::fwrite("PTCOLLAGE-071119", 1, 16, f);
    std::fclose(f);
    r = pxtone::load_tune_file(path, "huge_random.ptcop");
    EXPECT_EQ(r.error, "tune too big: huge_random.ptcop");
    std::remove(path.c_str());
    r = pxtone::load_tune_file(path, "huge_random.ptcop");
    EXPECT_EQ(r.error, "cannot open: huge_random.ptcop");
}

TEST(HostileInput, LongNamesAreShortenedInErrors) {
    std::string name(80, 'n');
    std::vector<uint8_t> junk(40, 1);
    pxtone::LoadResult r = pxtone::load_tune(junk.data(), junk.size(), name);
    EXPECT_EQ(r.error.size(), 36u);
    EXPECT_EQ(r.error.substr(0, 12), "not a tune: ");
    EXPECT_EQ(r.error.substr(34), "..");
}

TEST(HostileInput, AbsurdCountsAreRefused) {
    tb::Song s;
    s.units = {"u"};
    s.voices = {tb::sine_voice("v")};
    tb::add_note(s, 0, 0, 480, tb::KEY_A4);
    std::vector<uint8_t> good = tb::build(s);
    // Event count far beyond the bytes that follow.
    std::vector<uint8_t> b = good;
    for (size_t i = 0; i + 8 < b.size(); i++)
        if (!std::memcmp(&b[i], "Event V5", 8)) {
            b[i + 12] = 0xff, b[i + 13] = 0xff, b[i + 14] = 0xff, b[i + 15] = 0x7f;
        }
    EXPECT_FALSE(pxtone::load_tune(b.data(), b.size(), "x").tune);
    // A block size pointing past the end of the file.
    b = good;
    for (size_t i = 0; i + 8 < b.size(); i++)
        if (!std::memcmp(&b[i], "matePTV ", 8)) b[i + 11] = 0x70;
    EXPECT_FALSE(pxtone::load_tune(b.data(), b.size(), "x").tune);
}

TEST(HostileInput, UnknownBlocksAreSkippedBySize) {
    tb::Song s;
    s.units = {"u"};
    s.voices = {tb::sine_voice("v")};
    tb::add_note(s, 0, 0, 480, tb::KEY_A4);
    std::vector<uint8_t> b = tb::build(s);
    // An unknown block just before the end block.
    std::vector<uint8_t> extra;
    tb::put_block(extra, "effeZZZZ", std::vector<uint8_t>(37, 0xee));
    b.insert(b.end() - 12, extra.begin(), extra.end());
    pxtone::LoadResult r = pxtone::load_tune(b.data(), b.size(), "x");
    ASSERT_TRUE(r.tune) << r.error;
    EXPECT_EQ(pxtone::tune_info(*r.tune).meas_num, 1);
}

TEST(HostileInput, EffectBlocksWithEdgeValuesPlaySafely) {
    // Effect blocks cut short are damage; any values in whole ones play:
    // not-a-number and infinite levels, huge gains, groups no unit can join.
    tb::Song s;
    s.units = {"u"};
    s.voices = {tb::sine_voice("v", 128)};
    tb::add_event(s, 0, 0, tb::EV_GROUP_NO, 1);
    tb::add_note(s, 0, 0, 480, tb::KEY_A4);
    const float nan = std::nanf(""), inf = HUGE_VALF;
    s.overdrives = {tb::Overdrive{1, nan, 2.0f}, tb::Overdrive{1, 50.0f, inf},
                    tb::Overdrive{1, -inf, -1e30f}, tb::Overdrive{1, 1e30f, 1e30f},
                    tb::Overdrive{65535, 90.0f, 2.0f}};
    s.delays = {tb::Delay{7, 1, nan, inf}, tb::Delay{65535, 65535, 1e30f, -0.0f}};
    std::vector<uint8_t> bytes = tb::build(s);
    pxtone::LoadResult r = pxtone::load_tune(bytes.data(), bytes.size(), "x");
    ASSERT_TRUE(r.tune) << r.error;
    std::vector<int16_t> out = render_tune(r.tune, 22050, 22050);
    EXPECT_GE(out.size(), 2u * 22050);
    load_and_play(bytes);

    for (const char *tag : {"effeOVER", "effeDELA"}) {
        std::vector<uint8_t> b = tb::build(sines_only());
        std::vector<uint8_t> block;
        tb::put_block(block, tag, std::vector<uint8_t>(11, 0));
        b.insert(b.end() - 12, block.begin(), block.end());
        EXPECT_EQ(pxtone::load_tune(b.data(), b.size(), "x").error, "damaged tune: x") << tag;
    }
}

TEST(HostileInput, UnreadableVoicePlaysSilentAndIsNamed) {
    tb::Song s;
    s.units = {"a", "b"};
    tb::Voice bad = tb::pcm_voice("crackle", std::vector<int16_t>(100, 1000), 44100, false);
    bad.pcm_bits = 12;  // no such sample format
    s.voices = {tb::sine_voice("sine"), bad};
    tb::add_note(s, 0, 0, 480, tb::KEY_A4);
    tb::add_event(s, 0, 1, tb::EV_VOICE_NO, 1);
    tb::add_note(s, 1, 0, 480, tb::KEY_A4);
    std::vector<uint8_t> bytes = tb::build(s);
    pxtone::LoadResult r = pxtone::load_tune(bytes.data(), bytes.size(), "x");
    ASSERT_TRUE(r.tune) << r.error;
    EXPECT_EQ(r.warning, "bad voice: crackle");
    std::vector<int16_t> out = render_tune(r.tune, 22050);
    EXPECT_FALSE(out.empty());
}

TEST(HostileInput, CostlyVoicesAreBoundedAndPlaySilent) {
    // Many minute-long noise voices and huge overtone lists: the load stays
    // bounded (noise work is capped per tune) and what is over the cap
    // plays silent with a warning.
    tb::Song s;
    s.units = {"u"};
    for (int i = 0; i < 40; i++) {
        tb::Voice v;
        v.kind = tb::VoiceKind::ptnoise;
        v.name = "big" + std::to_string(i);
        v.noise_samples = 44100 * 60;
        v.noise_units.assign(8, tb::PtnUnit());
        s.voices.push_back(v);
    }
    tb::Voice many = tb::sine_voice("many");
    many.layers[0].overtones.assign(4096, {7, 100});
    s.voices.push_back(many);
    tb::add_note(s, 0, 0, 480, tb::KEY_A4);
    std::vector<uint8_t> bytes = tb::build(s);
    pxtone::LoadResult r = pxtone::load_tune(bytes.data(), bytes.size(), "x");
    ASSERT_TRUE(r.tune) << r.error;
    EXPECT_EQ(r.warning.substr(0, 11), "bad voice: ");
}

TEST(HostileInput, ExtremeEventValuesPlaySafely) {
    // Every event kind with values from the edges of 32 bits, on all units,
    // then render, seek and loop through it.
    std::mt19937 rng(99);
    const int32_t edges[] = {0, 1, -1, 64, 128, 255, 0x6000, 0x7fffffff, int32_t(0x80000000), 1 << 20, -(1 << 20)};
    tb::Song s;
    s.tempo = 300.0f;
    s.units = {"a", "b", "c"};
    s.voices = {tb::sine_voice("s"), tb::pcm_voice("p", std::vector<int16_t>(50, 3000), 8000, true)};
    tb::Delay d;
    d.group = 2;
    d.rate = 99.0f;
    d.freq = 0.01f;
    s.delays = {d};
    for (int i = 0; i < 400; i++) {
        int kind = 1 + int(rng() % 15);
        int32_t value = edges[rng() % (sizeof edges / sizeof edges[0])];
        if (kind == tb::EV_ON) value = int32_t(rng() % 2000);
        tb::add_event(s, int(rng() % 4000), int(rng() % 3), kind, value);
    }
    s.repeat_clock = 1000;
    auto tune = load_song(s);
    ASSERT_TRUE(tune);
    pxtone::Renderer r(tune, 48000);
    r.set_loop(true);
    std::vector<int16_t> buf(2 * 4096);
    for (int i = 0; i < 40; i++) ASSERT_EQ(r.render(buf.data(), 4096, 2), 4096);
    r.seek(r.length() / 3);
    EXPECT_EQ(r.render(buf.data(), 4096, 1), 4096);
}

TEST(HostileInput, ExtremeBasicKeysWithExtremeKeysPlaySafely) {
    // A voice whose basic key is far out makes its own pitch overflow to
    // infinity or vanish to zero; a KEY far out the other way would then meet
    // it as infinity times zero. Both ends, on a wave voice and a sample.
    const int32_t far[] = {int32_t(0x80000000), 0x7fffffff};
    for (int32_t basic : far) {
        for (int32_t key : far) {
            SCOPED_TRACE(testing::Message() << "basic key " << basic << ", key " << key);
            tb::Song s;
            s.units = {"wave", "pcm"};
            tb::Voice wave = tb::sine_voice("s");
            wave.layers[0].basic_key = basic;
            tb::Voice pcm = tb::pcm_voice("p", std::vector<int16_t>(64, 3000), 8000, true);
            pcm.basic_key = basic;
            s.voices = {wave, pcm};
            tb::add_event(s, 0, 1, tb::EV_VOICE_NO, 1);
            for (int unit = 0; unit < 2; unit++) {
                tb::add_event(s, 0, unit, tb::EV_KEY, key);
                tb::add_note(s, unit, 0, 480, -1);
            }
            auto tune = load_song(s);
            ASSERT_TRUE(tune);
            pxtone::Renderer r(tune, 22050);
            std::vector<int16_t> buf(2 * 4096);
            EXPECT_EQ(r.render(buf.data(), 4096, 2), 4096);
        }
    }
}
