// Calls the library cannot carry out do nothing and say why; damaged bytes
// (tunes cut short or with a bit flipped, built ones and the corpus's) load
// or are refused with a short text, and a tune that loads plays, loops,
// seeks, ends and tells where it is, never reading or writing out of bounds
// (the sanitizer builds run this too).
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "api_songs.h"
#include "corpus_files.h"

namespace tb = tune_builder;

namespace {

bool starts(const char *text, const char *prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

bool known_text(const char *text) {
    for (const char *p : {"not a tune: ", "damaged tune: ", "tune too big: ", "unsupported tune version: ",
                          "bad voice: "})
        if (starts(text, p)) return true;
    return false;
}

// Loads `bytes` and, when they load, plays through every kind of call.
void try_bytes(const std::vector<uint8_t> &bytes, int channels) {
    Tune t(bw_new(11025, channels));
    const int loaded = bw_load_memory(t.get(), bytes.data(), bytes.size(), "hostile.ptcop");
    const char *text = bw_error(t.get());
    ASSERT_LE(std::strlen(text), 80u);
    if (!loaded) {
        ASSERT_TRUE(known_text(text)) << text;
        return;
    }
    ASSERT_TRUE(!*text || known_text(text)) << text;
    bw_info info;
    ASSERT_EQ(bw_get_info(t.get(), &info, sizeof info), 1);
    ASSERT_TRUE(info.frames >= 0 && info.repeat_frame >= 0 && info.repeat_frame <= info.frames);
    for (int k = 0; bw_effect_text(t.get(), k); k++) ASSERT_LT(k, info.delays + info.overdrives);
    std::vector<int16_t> out(size_t(channels) * 3000);
    bw_set_loops(t.get(), BW_LOOP_FOREVER);
    ASSERT_LE(bw_render(t.get(), out.data(), 3000), 3000);
    bw_set_loops(t.get(), 2);
    ASSERT_EQ(bw_seek(t.get(), info.frames + std::min<int64_t>(info.repeat_frames, 5000) / 2), 1);
    ASSERT_LE(bw_render(t.get(), out.data(), 3000), 3000);
    bw_position pos;
    ASSERT_EQ(bw_get_position(t.get(), &pos), 1);
    ASSERT_TRUE(pos.song_frame >= 0 && pos.song_frame <= info.frames && pos.pass >= 1);
    bw_set_fade(t.get(), 0.25);
    ASSERT_GE(bw_output_frames(t.get()), pos.frame);
}

std::vector<std::vector<uint8_t>> sources() {
    tb::Song sampled = looping_song();
    sampled.voices[1] = tb::pcm_voice("p", {0, 9000, -9000, 0}, 8000, true);
    sampled.overdrives = {tb::Overdrive{}};
    std::vector<std::vector<uint8_t>> all = {tb::build(looping_song()), tb::build(sampled)};
    const std::vector<std::string> corpus = test_support::corpus_tunes();  // none without ../shared
    for (size_t k = 0; k < corpus.size(); k += corpus.size() / 3 + 1) all.push_back(test_support::read_bytes(corpus[k]));
    return all;
}

}  // namespace

TEST(ApiHostile, CallsThatCannotBeDoneDoNothingAndSayWhy) {
    int16_t out[4] = {1, 1, 1, 1};
    bw_info info;
    bw_position pos{1, 1, 1, 1};
    EXPECT_EQ(bw_new(7999, 2) || bw_new(44100, 3), false);
    bw_free(nullptr);
    EXPECT_EQ(bw_error(nullptr) || bw_effect_text(nullptr, 0), false);
    EXPECT_EQ(bw_load_file(nullptr, "x") + bw_load_memory(nullptr, out, 4, "x") + bw_get_info(nullptr, &info, 8) +
                  bw_set_loops(nullptr, 1) + bw_set_fade(nullptr, 1) + bw_render(nullptr, out, 1) +
                  bw_seek(nullptr, 0) + bw_get_position(nullptr, &pos) + bw_ended(nullptr) + bw_output_frames(nullptr),
              -1);
    Tune t(bw_new(44100, 2));
    bw_tune *u = t.get();
    const std::pair<std::function<int64_t()>, const char *> calls[] = {
        {[&] { return bw_render(u, out, 2) + bw_seek(u, 5) + bw_get_position(u, &pos); }, "no tune loaded"},
        {[&] { return bw_output_frames(u) + 1; }, "no tune loaded"},
        {[&] { return bw_set_loops(u, -1); }, "bad argument: loops"},
        {[&] { return bw_set_fade(u, NAN) + bw_set_fade(u, -0.5); }, "bad argument: fade"},
        {[&] { return bw_load_memory(u, nullptr, 10, "x"); }, "bad argument: data"},
        {[&] { return bw_load_file(u, "/no/such/tune.ptcop"); }, "cannot open: tune.ptcop"},
        {[&] { return bw_load_memory(u, "", 0, nullptr); }, "not a tune: (no name)"},
        {[&] { return bw_get_info(u, nullptr, 8); }, "bad argument: info"},
    };
    for (const auto &[call, text] : calls) {
        EXPECT_EQ(call(), 0) << text;
        EXPECT_STREQ(bw_error(u), text);
    }
    EXPECT_EQ(out[0], 1) << "nothing written";
    EXPECT_EQ(pos.frame + pos.pass, 0) << "zeros without a tune";
}

TEST(ApiHostile, CutAndBitFlippedTunesLoadOrGiveATextAndPlayWithinBounds) {
    std::mt19937 random(15);
    for (const std::vector<uint8_t> &whole : sources()) {
        SCOPED_TRACE(whole.size());
        for (size_t cut : {size_t(0), size_t(1), size_t(16), size_t(17), size_t(40), whole.size() / 3,
                           whole.size() / 2, whole.size() - 9, whole.size() - 1}) {
            SCOPED_TRACE(cut);
            try_bytes(std::vector<uint8_t>(whole.begin(), whole.begin() + long(std::min(cut, whole.size()))), 2);
        }
        for (int flip = 0; flip < 150; flip++) {
            std::vector<uint8_t> bytes = whole;
            const size_t at = 16 + random() % (bytes.size() - 16);
            bytes[at] ^= uint8_t(1u << (random() % 8));
            SCOPED_TRACE(at);
            try_bytes(bytes, 1 + flip % 2);
        }
    }
}
