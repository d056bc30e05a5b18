// What the stream hands out: positions across a stop and a start, the play
// callback's ticks, the end of a tune, the loop jump and the fade-in. Every
// buffer comes from the real engine through a fake device pumped here.
#include <algorithm>

#include "stream_engine_fixture.h"

namespace {

using Stream = EngineOnFakeDevice;

TEST_F(Stream, HandsOutWhatTheRendererMakes) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(2));
    play(path);
    std::vector<int16_t> got = out.pump(6);
    EXPECT_EQ(got, reference_render(path, RATE, 0, 6 * FRAMES));
}

TEST_F(Stream, StopThenStartContinuesAtTheSameSample) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(2));
    play(path);
    out.pump(5);
    int32_t stopped = pxtone_Tune_Stop();
    EXPECT_EQ(stopped, 5 * FRAMES) << "the first frame not yet handed out";
    EXPECT_EQ(pxtone_Tune_Stop(), stopped) << "a second stop keeps the position";

    // What the program does on play: stop, release, load again, start there.
    pxtone_Tune_Stop();
    pxtone_Tune_Release();
    CallbackLog::take();
    play(path, stopped);
    std::vector<int16_t> after = out.pump(3);
    EXPECT_EQ(after, reference_render(path, RATE, stopped, 3 * FRAMES));

    // The callback resumes at the ticks of the stopping point.
    pxtone::LoadResult loaded = pxtone::load_tune_file(path, "ref");
    pxtone::Renderer ref(loaded.tune, RATE);
    ref.seek(stopped);
    std::vector<CallbackCall> calls = CallbackLog::take();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].ticks, ref.position_ticks());
    EXPECT_TRUE(calls[0].streaming);
}

// A device that drops its queue at a cut: the stop position leaves out what
// it still queued (across the loop's jump too), the first buffer after each
// start or stop says it follows a cut, and the device is told at once.
TEST_F(Stream, StopLeavesOutWhatTheDeviceDrops) {
    struct Case {
        int buffers;
        int64_t queued;
        int64_t want;  // song frame of the stop
    };
    // A two-second song repeating its second second; looped.
    const Case cases[] = {
        {5, 0, 5 * FRAMES},
        {5, 3000, 5 * FRAMES - 3000},
        {5, 99 * FRAMES, 0},
        // 22 buffers are 45056 frames, 956 past the jump at 44100: 3000
        // queued frames go back into the first pass's end.
        {22, 3000, 22 * FRAMES - 3000},
        // 30 buffers: 61440 frames, song frame 39390; 500 queued.
        {30, 500, 30 * FRAMES - 2 * RATE + RATE - 500},
    };
    std::string path = write_tune(dir, "a.ptcop", held_note_song(2, 1));
    pxtone_Tune_SetLoop(1);
    for (const Case &c : cases) {
        out.queued = 0;
        play(path);
        int cuts = out.cut_calls;
        out.pump(c.buffers);
        out.queued = c.queued;
        EXPECT_EQ(pxtone_Tune_Stop(), c.want) << c.buffers << " buffers, " << c.queued << " queued";
        EXPECT_EQ(pxtone_Tune_Stop(), c.want) << "a second stop drops nothing more";
        EXPECT_EQ(out.cut_calls, cuts + 2) << "told at the stops";
        out.pump(2);
        std::lock_guard<std::mutex> lock(out.mutex);
        std::vector<bool> flags(out.cut_flags.end() - c.buffers - 2, out.cut_flags.end());
        std::vector<bool> want(size_t(c.buffers) + 2, false);
        want[0] = want[size_t(c.buffers)] = true;
        EXPECT_EQ(flags, want) << "the first buffer after the start and after the stop";
        pxtone_Tune_Release();
    }
    pxtone_Tune_SetLoop(0);
}

TEST_F(Stream, CallbackTicksGrowWithTheSoundHandedOut) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(2));
    play(path);
    out.pump(8);
    std::vector<CallbackCall> calls = CallbackLog::take();
    ASSERT_EQ(calls.size(), 8u) << "one call per buffer";
    // 240 beats a minute at 480 ticks a beat: 1920 ticks a second.
    const double ticks_per_frame = 1920.0 / RATE;
    for (size_t k = 0; k < calls.size(); k++) {
        EXPECT_NEAR(calls[k].ticks, k * FRAMES * ticks_per_frame, 1.0) << "buffer " << k;
        EXPECT_TRUE(calls[k].streaming);
    }
}

TEST_F(Stream, StreamingFallsOnceTheLastSoundIsOut) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(1));
    pxtone::LoadResult loaded = pxtone::load_tune_file(path, "ref");
    int64_t length = pxtone::Renderer(loaded.tune, RATE).length();
    ASSERT_GT(length, 0);
    int64_t buffers_with_sound = (length + FRAMES - 1) / FRAMES;

    play(path);
    for (int64_t k = 0; k < buffers_with_sound; k++) {
        out.pump(1);
        ASSERT_NE(pxtone_Tune_IsStreaming(), 0) << "buffer " << k << " still held sound";
    }
    out.pump(1);
    EXPECT_EQ(pxtone_Tune_IsStreaming(), 0);

    std::vector<CallbackCall> calls = CallbackLog::take();
    ASSERT_EQ(int64_t(calls.size()), buffers_with_sound + 1);
    EXPECT_FALSE(calls.back().streaming) << "the last call tells the program it is over";
    out.pump(3);
    EXPECT_TRUE(CallbackLog::take().empty()) << "no calls once the tune has ended";
    EXPECT_EQ(pxtone_Tune_Stop(), int32_t(length)) << "an ended tune stopped at its end";
}

TEST_F(Stream, LoopContinuesFromTheRepeatWithoutAGap) {
    // A note in each of two measures; the second measure repeats.
    tune_builder::Song song = held_note_song(2, 1);
    song.events.clear();
    tune_builder::add_event(song, 0, 0, tune_builder::EV_VOICE_NO, 0);
    tune_builder::add_note(song, 0, 0, 1920, tune_builder::KEY_A4);
    tune_builder::add_note(song, 0, 1920, 1920, tune_builder::key_of(3));
    std::string path = write_tune(dir, "a.ptcop", song);
    pxtone_Tune_SetLoop(1);
    play(path);
    // A two-second song repeating its second half: six seconds of it jump
    // back at 2, 3, 4 and 5 s.
    const int buffers = 6 * RATE / FRAMES;
    std::vector<int16_t> got = out.pump(buffers);
    EXPECT_EQ(got, reference_render(path, RATE, 0, buffers * FRAMES, true));
    EXPECT_NE(pxtone_Tune_IsStreaming(), 0);

    // The notes never go quiet for more than a few frames.
    size_t longest_quiet = 0, quiet = 0;
    for (size_t f = FRAMES; f < got.size() / 2; f++) {
        quiet = (got[2 * f] == 0 && got[2 * f + 1] == 0) ? quiet + 1 : 0;
        longest_quiet = std::max(longest_quiet, quiet);
    }
    EXPECT_LT(longest_quiet, 8u);

    // The ticks jump back to the repeat position (one measure, 1920 ticks).
    std::vector<CallbackCall> calls = CallbackLog::take();
    int jumps = 0;
    for (size_t k = 1; k < calls.size(); k++) {
        if (calls[k].ticks < calls[k - 1].ticks) {
            jumps++;
            EXPECT_GE(calls[k].ticks, 1920);
        }
    }
    EXPECT_EQ(jumps, 4);
    pxtone_Tune_SetLoop(0);
}

TEST_F(Stream, LoopTurnedOffEndsAtTheNextEnd) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(1));
    pxtone_Tune_SetLoop(1);
    play(path);
    out.pump(15);  // past the first end
    EXPECT_NE(pxtone_Tune_IsStreaming(), 0);
    pxtone_Tune_SetLoop(0);
    out.pump(12);
    EXPECT_EQ(pxtone_Tune_IsStreaming(), 0);
}

TEST_F(Stream, FadeInRisesLinearlyOverTheGivenTime) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(2));
    play(path, 0, 100);
    std::vector<int16_t> got = out.pump(2);
    std::vector<int16_t> ref = reference_render(path, RATE, 0, 2 * FRAMES);
    const int fade = RATE / 10;
    for (int f = 0; f < 2 * FRAMES; f++) {
        for (int c = 0; c < 2; c++) {
            int64_t r = ref[size_t(2 * f + c)];
            int64_t want = f < fade ? r * f / fade : r;
            ASSERT_EQ(got[size_t(2 * f + c)], want) << "frame " << f;
        }
    }
}

TEST_F(Stream, StartClampsThePosition) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(1));
    pxtone::LoadResult loaded = pxtone::load_tune_file(path, "ref");
    int64_t length = pxtone::Renderer(loaded.tune, RATE).length();

    play(path, INT32_MAX);
    out.pump(2);
    EXPECT_EQ(pxtone_Tune_IsStreaming(), 0) << "started past the end: nothing to play";
    EXPECT_EQ(pxtone_Tune_Stop(), int32_t(length));

    ASSERT_NE(pxtone_Tune_Start(-5000, 0), 0);
    EXPECT_EQ(out.pump(1), reference_render(path, RATE, 0, FRAMES)) << "negative: the start";
}

TEST_F(Stream, NothingIsHandedOutWhileStopped) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(2));
    play(path);
    out.pump(2);
    pxtone_Tune_Stop();
    CallbackLog::take();
    std::vector<int16_t> got = out.pump(2);
    EXPECT_TRUE(std::all_of(got.begin(), got.end(), [](int16_t s) { return s == 0; }));
    EXPECT_TRUE(CallbackLog::take().empty());
}

TEST_F(Stream, SilenceBetweenTunesAndTheNextTuneFromItsStart) {
    std::string a = write_tune(dir, "a.ptcop", held_note_song(1));
    std::string b = write_tune(dir, "b.ptcop", held_note_song(2));
    play(a);
    out.pump(3);
    // Load while playing replaces the tune; it waits for a start.
    ASSERT_NE(pxtone_Tune_Load(nullptr, nullptr, b.c_str()), 0);
    EXPECT_EQ(pxtone_Tune_IsStreaming(), 0);
    std::vector<int16_t> quiet = out.pump(1);
    EXPECT_TRUE(std::all_of(quiet.begin(), quiet.end(), [](int16_t s) { return s == 0; }));
    ASSERT_NE(pxtone_Tune_Start(0, 0), 0);
    EXPECT_EQ(out.pump(2), reference_render(b, RATE, 0, 2 * FRAMES));
}

TEST_F(Stream, MonoOutputAtAnotherRate) {
    pxtone_Release();
    ASSERT_NE(pxtone_Ready(nullptr, 1, 44100, 16, 0.05f, 0, CallbackLog::record), 0);
    EXPECT_EQ(out.format.frames, 2048);
    EXPECT_EQ(out.format.channels, 1);
    std::string path = write_tune(dir, "a.ptcop", held_note_song(1));
    play(path);
    std::vector<int16_t> got = out.pump(1);
    ASSERT_EQ(got.size(), 2048u);
    pxtone::LoadResult loaded = pxtone::load_tune_file(path, "ref");
    pxtone::Renderer mono(loaded.tune, 44100);
    std::vector<int16_t> want(2048);
    mono.render(want.data(), 2048, 1);
    EXPECT_EQ(got, want);
}

}  // namespace
