// The renderer's positions: seek then render continues with exactly the
// frames a render from the start gives there; the loop jumps back to the
// repeat position without a gap; block sizes do not change the sound.
#include <gtest/gtest.h>

#include "audio_measure.h"
#include "render_song.h"
#include "mix/renderer.h"
#include "mix/song_clock.h"
#include "tune_model.h"

using namespace test_support;
namespace tb = tune_builder;

namespace {

// A busy little song: porta, a one-shot and a looped sample voice, volume
// changes.
tb::Song busy_song() {
    tb::Song s;
    s.tempo = 150.0f;
    s.units = {"lead", "drum", "pad"};
    std::vector<int16_t> hit(3000);
    for (size_t i = 0; i < hit.size(); i++) hit[i] = int16_t((i * 7919 % 2000) * 8 - 8000);
    std::vector<int16_t> cycle(37);
    for (size_t i = 0; i < cycle.size(); i++) cycle[i] = int16_t(i * 600 - 11000);
    s.voices = {tb::sine_voice("s", 90), tb::pcm_voice("hit", hit, 22050, false),
                tb::pcm_voice("pad", cycle, 30011, true)};
    tb::add_event(s, 0, 1, tb::EV_VOICE_NO, 1);
    tb::add_event(s, 0, 2, tb::EV_VOICE_NO, 2);
    tb::add_note(s, 2, 0, 1900, tb::key_of(-3));
    tb::add_note(s, 2, 2000, 1800, tb::key_of(4));
    tb::add_event(s, 0, 0, tb::EV_KEY_PORTA, 100);
    for (int i = 0; i < 16; i++) {
        tb::add_note(s, 0, i * 240, 200, tb::key_of((i * 5) % 12));
        tb::add_note(s, 1, i * 240, 60, -1);
        tb::add_event(s, i * 240 + 30, 0, tb::EV_KEY, tb::key_of((i * 5) % 12 + 2));
    }
    tb::add_event(s, 1000, 0, tb::EV_VOLUME, 70);
    return s;
}

}  // namespace

TEST(RendererPosition, SeekContinuesAtTheSameSample) {
    auto tune = load_song(busy_song());
    std::vector<int16_t> whole = render_tune(tune, 44100);
    pxtone::Renderer r(tune, 44100);
    for (int64_t at : {int64_t(0), int64_t(1), int64_t(12345), int64_t(70001), r.length() - 100}) {
        SCOPED_TRACE(at);
        r.seek(at);
        EXPECT_EQ(r.position(), at);
        std::vector<int16_t> part(2 * 2000);
        int n = r.render(part.data(), 2000, 2);
        ASSERT_GT(n, 0);
        for (int i = 0; i < 2 * n; i++)
            ASSERT_EQ(part[size_t(i)], whole[size_t(2 * at + i)]) << "frame " << at + i / 2;
    }
}

TEST(RendererPosition, SeekClampsToTheSong) {
    auto tune = load_song(busy_song());
    pxtone::Renderer r(tune, 22050);
    r.seek(-50);
    EXPECT_EQ(r.position(), 0);
    r.seek(r.length() + 1000);
    EXPECT_EQ(r.position(), r.length());
}

TEST(RendererPosition, BlockSizeDoesNotChangeTheSound) {
    auto tune = load_song(busy_song());
    std::vector<int16_t> whole = render_tune(tune, 22050);
    pxtone::Renderer r(tune, 22050);
    std::vector<int16_t> pieces;
    int16_t buf[2 * 777];
    int sizes[] = {1, 777, 64, 300, 5};
    for (int i = 0;; i++) {
        int n = r.render(buf, sizes[i % 5], 2);
        if (n == 0) break;
        pieces.insert(pieces.end(), buf, buf + 2 * n);
    }
    ASSERT_EQ(pieces.size(), whole.size());
    for (size_t i = 0; i < whole.size(); i++) ASSERT_EQ(pieces[i], whole[i]) << "at " << i / 2;
    EXPECT_TRUE(r.ended());
}

TEST(RendererPosition, LoopJumpsToTheRepeatWithoutAGap) {
    tb::Song s = busy_song();
    s.repeat_clock = 960;  // loop back to the fifth note
    auto tune = load_song(s);
    std::vector<int16_t> once = render_tune(tune, 22050);
    pxtone::Renderer r(tune, 22050);
    r.set_loop(true);
    const int64_t len = r.length();
    std::vector<int16_t> two(size_t(2 * (len + 22050)));
    ASSERT_EQ(r.render(two.data(), int(len + 22050), 2), int(len + 22050));
    EXPECT_FALSE(r.ended());
    // After the end comes the music from the repeat position, with sound
    // where the song has notes there.
    pxtone::SongClock clock(tune->master, 22050);
    int64_t repeat = clock.frame_of(960);
    std::vector<double> after = channel(std::vector<int16_t>(two.begin() + 2 * len, two.end()), 2, 0);
    std::vector<double> from_repeat =
        channel(std::vector<int16_t>(once.begin() + 2 * repeat, once.begin() + 2 * (repeat + 22050)), 2, 0);
    EXPECT_GT(rms(after, 0, 2000), 0.01);
    EXPECT_NEAR(rms(after, 4000, 22050), rms(from_repeat, 4000, 22050), 0.01);
    EXPECT_EQ(r.position(), repeat + 22050);
    EXPECT_EQ(r.position_ticks(), 960 + clock.tick_of(22050));
}

TEST(RendererPosition, ALoopShorterThanFiftyMillisecondsRunsFiftyBeforeItJumps) {
    // A song one tick long (23 frames at 22050 Hz) whose note outlasts it:
    // the loop plays on to 50 ms, notes sounding and no event, then jumps.
    tb::Song s;
    s.units = {"u"};
    s.voices = {tb::sine_voice("s")};
    s.last_clock = 1;
    tb::add_note(s, 0, 0, 480, tb::KEY_A4);
    auto tune = load_song(s);
    pxtone::Renderer r(tune, 22050);
    r.set_loop(true);
    ASSERT_EQ(r.length(), 23);
    const int loop = 1103;  // 50 ms
    std::vector<int16_t> out(2 * 3000);
    ASSERT_EQ(r.render(out.data(), 3000, 2), 3000);
    EXPECT_EQ(r.position(), 3000 - 2 * loop);
    EXPECT_EQ(r.position_ticks(), 1) << "past the song's end the position stays at the end";
    std::vector<double> x = channel(out, 2, 0);
    EXPECT_GT(rms(x, 500, 1000), 0.05) << "the note sounds on past the song's end";
    EXPECT_GT(rms(x, loop + 500, loop + 1000), 0.05) << "and again after the jump";
}

TEST(RendererPosition, LoopOffEndsWithFewerFrames) {
    auto tune = load_song(busy_song());
    pxtone::Renderer r(tune, 22050);
    const int64_t len = r.length();
    std::vector<int16_t> buf(size_t(2 * (len + 100)));
    // The cut notes fade out in a few milliseconds after the end.
    int n = r.render(buf.data(), int(len + 100), 2);
    EXPECT_GE(n, int(len));
    EXPECT_LE(n, int(len) + 64);
    EXPECT_TRUE(r.ended());
    EXPECT_EQ(r.render(buf.data(), 10, 2), 0);
}

TEST(RendererPosition, MonoOutputIsTheMeanOfTheChannels) {
    tb::Song s = busy_song();
    tb::add_event(s, 0, 0, tb::EV_PAN_VOLUME, 20);
    auto tune = load_song(s);
    pxtone::Renderer st(tune, 22050), mono(tune, 22050);
    int16_t a[2 * 4000], m[4000];
    ASSERT_EQ(st.render(a, 4000, 2), 4000);
    ASSERT_EQ(mono.render(m, 4000, 1), 4000);
    for (int i = 0; i < 4000; i++) ASSERT_NEAR(m[i], (a[2 * i] + a[2 * i + 1]) / 2.0, 1.0);
}
