// Any order of calls is safe: calls that need a tune or a device fail with a
// text and change nothing else.
#include <cmath>

#include "stream_engine_fixture.h"

namespace {

using CallOrder = EngineOnFakeDevice;

TEST_F(CallOrder, StartWithoutATune) {
    EXPECT_EQ(pxtone_Tune_Start(0, 0), 0);
    EXPECT_STREQ(pxtone_GetLastError(), "no tune loaded");
    EXPECT_EQ(pxtone_Tune_IsStreaming(), 0);
    out.pump(2);
    EXPECT_TRUE(CallbackLog::take().empty());
}

TEST_F(CallOrder, StopAndReleaseTwiceAndBeforeAnything) {
    EXPECT_EQ(pxtone_Tune_Stop(), 0);
    EXPECT_EQ(pxtone_Tune_Stop(), 0);
    EXPECT_NE(pxtone_Tune_Release(), 0);
    EXPECT_NE(pxtone_Tune_Release(), 0);

    std::string path = write_tune(dir, "a.ptcop", held_note_song(2));
    play(path);
    out.pump(1);
    EXPECT_EQ(pxtone_Tune_Stop(), FRAMES);
    EXPECT_EQ(pxtone_Tune_Stop(), FRAMES);
    EXPECT_NE(pxtone_Tune_Release(), 0);
    EXPECT_NE(pxtone_Tune_Release(), 0);
    EXPECT_EQ(pxtone_Tune_Stop(), 0) << "released: nothing to resume";
    EXPECT_EQ(pxtone_Tune_Start(0, 0), 0);
}

TEST_F(CallOrder, ReleaseWhilePlayingFallsSilent) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(2));
    play(path);
    out.pump(1);
    pxtone_Tune_Release();
    EXPECT_EQ(pxtone_Tune_IsStreaming(), 0);
    std::vector<int16_t> got = out.pump(1);
    EXPECT_TRUE(std::all_of(got.begin(), got.end(), [](int16_t s) { return s == 0; }));
}

TEST_F(CallOrder, StartTwiceRestarts) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(2));
    play(path);
    out.pump(3);
    ASSERT_NE(pxtone_Tune_Start(0, 0), 0);
    EXPECT_EQ(out.pump(1), reference_render(path, RATE, 0, FRAMES));
}

TEST_F(CallOrder, LoadWhilePlayingAndAFailedLoadLeavesNoTune) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(2));
    play(path);
    out.pump(1);
    EXPECT_EQ(pxtone_Tune_Load(nullptr, nullptr, (dir.path() + "/missing.ptcop").c_str()), 0);
    EXPECT_EQ(pxtone_Tune_IsStreaming(), 0);
    EXPECT_EQ(pxtone_Tune_Start(0, 0), 0) << "the failed load left no tune";
    int32_t a = 1, c = 1, d = 1;
    float b = 1;
    EXPECT_EQ(pxtone_Tune_GetInformation(&a, &b, &c, &d), 0);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0.0f);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(d, 0);
}

TEST_F(CallOrder, InformationOfTheLoadedTune) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(3));
    ASSERT_NE(pxtone_Tune_Load(nullptr, nullptr, path.c_str()), 0);
    int32_t beat_num = 0, beat_clock = 0, meas_num = 0;
    float tempo = 0;
    ASSERT_NE(pxtone_Tune_GetInformation(&beat_num, &tempo, &beat_clock, &meas_num), 0);
    EXPECT_EQ(beat_num, 4);
    EXPECT_EQ(tempo, 240.0f);
    EXPECT_EQ(beat_clock, 480);
    EXPECT_EQ(meas_num, 3);
    EXPECT_NE(pxtone_Tune_GetInformation(nullptr, nullptr, nullptr, nullptr), 0);
}

TEST_F(CallOrder, ReadyAgainReplacesTheOutput) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(2));
    play(path);
    ASSERT_NE(pxtone_Ready(nullptr, 2, RATE, 16, 0.1f, 0, CallbackLog::record), 0);
    EXPECT_EQ(out.opened, 2);
    EXPECT_EQ(out.closed, 1);
    EXPECT_EQ(pxtone_Tune_IsStreaming(), 0);
}

TEST_F(CallOrder, ReadyRejectsFormatsItCannotPlay) {
    EXPECT_EQ(pxtone_Ready(nullptr, 3, RATE, 16, 0.1f, 0, nullptr), 0);
    EXPECT_STREQ(pxtone_GetLastError(), "bad audio format");
    EXPECT_EQ(pxtone_Ready(nullptr, 2, 1000, 16, 0.1f, 0, nullptr), 0);
    EXPECT_EQ(pxtone_Ready(nullptr, 2, RATE, 24, 0.1f, 0, nullptr), 0);
    EXPECT_EQ(pxtone_Ready(nullptr, 2, RATE, 16, 0.0f, 0, nullptr), 0);
    EXPECT_EQ(pxtone_Ready(nullptr, 2, RATE, 16, NAN, 0, nullptr), 0);
    EXPECT_EQ(out.opened, 1) << "the output it had stays";
}

TEST_F(CallOrder, EverythingAfterReleaseAndReleaseTwice) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(2));
    play(path);
    EXPECT_NE(pxtone_Release(), 0);
    EXPECT_NE(pxtone_Release(), 0);
    EXPECT_EQ(out.closed, 1);
    EXPECT_EQ(pxtone_Tune_IsStreaming(), 0);
    // Not ready: a tune still loads, but cannot start.
    EXPECT_NE(pxtone_Tune_Load(nullptr, nullptr, path.c_str()), 0);
    EXPECT_EQ(pxtone_Tune_Start(0, 0), 0);
    EXPECT_STREQ(pxtone_GetLastError(), "not ready");
    EXPECT_EQ(pxtone_Tune_Stop(), 0);
    EXPECT_NE(pxtone_Tune_SetLoop(1), 0);
    EXPECT_NE(pxtone_Tune_SetLoop(0), 0);
    EXPECT_NE(pxtone_Tune_Release(), 0);
}

TEST_F(CallOrder, NoCallbackGiven) {
    pxtone_Release();
    ASSERT_NE(pxtone_Ready(nullptr, 2, RATE, 16, 0.1f, 0, nullptr), 0);
    std::string path = write_tune(dir, "a.ptcop", held_note_song(1));
    play(path);
    out.pump(20);
    EXPECT_EQ(pxtone_Tune_IsStreaming(), 0);
}

}  // namespace
