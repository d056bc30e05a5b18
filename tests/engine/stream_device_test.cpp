// The output under the stream: buffer sizes, the silent clock, falling back
// when no device opens, and getting a lost device back at the next tune.
#include <SDL.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "output/audio_device_silent.h"
#include "interface/interface_engine.h"
#include "stream_engine_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

TEST(BufferFrames, NearestPowerOfTwo) {
    EXPECT_EQ(pxtone::buffer_frames(22050, 0.1), 2048);  // 2205 frames asked
    EXPECT_EQ(pxtone::buffer_frames(44100, 0.1), 4096);
    EXPECT_EQ(pxtone::buffer_frames(48000, 0.1), 4096);  // 4800: 4096 is nearer than 8192
    EXPECT_EQ(pxtone::buffer_frames(22050, 0.14), 4096);  // 3087: nearer 4096
    EXPECT_EQ(pxtone::buffer_frames(8000, 0.01), 64);
    EXPECT_EQ(pxtone::buffer_frames(192000, 1.0), 32768);
    EXPECT_EQ(pxtone::buffer_frames(22050, -1.0), 64);
}

// Buffers due from `first_due` until `end`, counting the one due at `first_due`.
int buffers_due(Clock::time_point first_due, Clock::time_point end, int frames, int rate) {
    return 1 + int(std::chrono::duration<double>(end - first_due).count() * rate / frames);
}

TEST(SilentClock, KeepsRealTimePace) {
    std::atomic<int> fills{0};
    pxtone::AudioFormat format{2, 22050, 16, 512};  // 43 buffers a second
    const auto start = Clock::now();
    {
        pxtone::SilentClock clock(format, [&](int16_t *, int frames) {
            EXPECT_EQ(frames, 512);
            fills++;
        }, start);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    // Never ahead of the clock, however long the sleep really took; behind
    // only on a very busy machine.
    EXPECT_LE(fills.load(), buffers_due(start, Clock::now(), 512, 22050));
    EXPECT_GE(fills.load(), 10);
}

TEST(SilentClock, MakesUpBuffersThatFellDueBeforeItStarted) {
    std::atomic<int> fills{0};
    pxtone::AudioFormat format{2, 22050, 16, 2048};
    const auto first_due = Clock::now() - std::chrono::seconds(1);
    {
        pxtone::SilentClock clock(format, [&](int16_t *, int) { fills++; }, first_due);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    // One second overdue is about eleven buffers, made up at once.
    EXPECT_GE(fills.load(), 11);
    EXPECT_LE(fills.load(), buffers_due(first_due, Clock::now(), 2048, 22050));
}

// Plays a one-second tune through SDL and waits for its end.
double seconds_until_the_end(TempFolder &dir) {
    std::string path = write_tune(dir, "a.ptcop", held_note_song(1));
    EXPECT_NE(pxtone_Tune_Load(nullptr, nullptr, path.c_str()), 0);
    auto start = Clock::now();
    EXPECT_NE(pxtone_Tune_Start(0, 0), 0);
    while (pxtone_Tune_IsStreaming() && Clock::now() - start < std::chrono::seconds(20))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST(SdlOutput, FallsBackToASilentOutputWhenNoDeviceOpens) {
    AudioDriverEnv env("no_such_driver");
    TempFolder dir;
    CallbackLog::take();
    ASSERT_NE(pxtone_Ready(nullptr, 2, 22050, 16, 0.1f, 0, CallbackLog::record), 0);
    EXPECT_STREQ(pxtone_GetLastError(), "no audio device, silent");
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "no SDL driver holds on";
    EXPECT_EQ(pxtone::the_engine().device->health(), pxtone::DeviceHealth::silent);

    // The tune still takes its length, and reports its progress.
    double took = seconds_until_the_end(dir);
    EXPECT_GT(took, 0.95);
    EXPECT_LT(took, 1.5);

    // Each try to get a device back closes the silent output first: at
    // once, so a load never holds up the program's frames.
    pxtone::set_recover_interval(0);
    std::string path = write_tune(dir, "b.ptcop", held_note_song(1));
    auto start = Clock::now();
    EXPECT_NE(pxtone_Tune_Load(nullptr, nullptr, path.c_str()), 0);
    double load_took = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("    a load that tries the device again took %.1f ms\n", load_took * 1000);
    EXPECT_LT(load_took, 0.1);
    pxtone::set_recover_interval(3.0);
    std::vector<CallbackCall> calls = CallbackLog::take();
    EXPECT_GE(calls.size(), 8u);
    for (size_t k = 1; k + 1 < calls.size(); k++) EXPECT_GT(calls[k].ticks, calls[k - 1].ticks);
    pxtone_Release();
}

TEST(SdlOutput, TheDummyDriverAskedForIsNoError) {
    AudioDriverEnv env("dummy");
    pxtone_Tune_Start(0, 0);  // leaves "no tune loaded"
    ASSERT_NE(pxtone_Ready(nullptr, 2, 22050, 16, 0.1f, 0, nullptr), 0);
    EXPECT_STREQ(pxtone_GetLastError(), "no tune loaded");
    EXPECT_EQ(pxtone::the_engine().device->health(), pxtone::DeviceHealth::working);
    EXPECT_EQ(pxtone::the_engine().format.frames, 2048);
    pxtone_Release();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "release hands SDL audio back";
}

TEST(SdlOutput, EightBitMonoPlays) {
    AudioDriverEnv env("dummy");
    TempFolder dir;
    ASSERT_NE(pxtone_Ready(nullptr, 1, 11025, 8, 0.05f, 0, nullptr), 0);
    double took = seconds_until_the_end(dir);
    EXPECT_GT(took, 0.8);
    EXPECT_LT(took, 10.0);
    pxtone_Release();
}

using LostDevice = EngineOnFakeDevice;

TEST_F(LostDevice, IsReportedAndReplacedAtTheNextTune) {
    pxtone::set_recover_interval(0);
    std::string path = write_tune(dir, "a.ptcop", held_note_song(1));
    play(path);
    device->lose();
    EXPECT_STREQ(pxtone_GetLastError(), "sound device lost, silent");
    EXPECT_EQ(out.opened, 1);

    ASSERT_NE(pxtone_Tune_Load(nullptr, nullptr, path.c_str()), 0);
    EXPECT_EQ(out.opened, 2);
    EXPECT_EQ(out.closed, 1);
    EXPECT_STREQ(pxtone_GetLastError(), "sound device back");
    ASSERT_NE(pxtone_Tune_Start(0, 0), 0);
    EXPECT_EQ(out.pump(1), reference_render(path, RATE, 0, FRAMES));
}

TEST_F(LostDevice, StillMissingKeepsTheSilentOutput) {
    pxtone::set_recover_interval(0);
    std::string path = write_tune(dir, "a.ptcop", held_note_song(1));
    play(path);
    out.health_at_open = pxtone::DeviceHealth::silent;  // the server stays away
    device->lose();
    ASSERT_NE(pxtone_Tune_Start(0, 0), 0);
    EXPECT_EQ(out.opened, 2);
    EXPECT_STREQ(pxtone_GetLastError(), "sound device lost, silent");
    EXPECT_NE(pxtone_Tune_IsStreaming(), 0);
}

TEST_F(LostDevice, RetriesAreSpacedOut) {
    pxtone::set_recover_interval(60);
    std::string path = write_tune(dir, "a.ptcop", held_note_song(1));
    play(path);
    device->lose();
    ASSERT_NE(pxtone_Tune_Load(nullptr, nullptr, path.c_str()), 0);
    EXPECT_EQ(out.opened, 1) << "the last attempt was too recent";
}

TEST_F(LostDevice, AStuckDeviceIsLetGoNotClosed) {
    pxtone::set_recover_interval(0);
    std::string path = write_tune(dir, "a.ptcop", held_note_song(1));
    play(path);
    out.closable = false;
    device->lose();
    ASSERT_NE(pxtone_Tune_Load(nullptr, nullptr, path.c_str()), 0);
    EXPECT_EQ(out.opened, 1) << "no reopening while the old one is stuck";
    pxtone_Release();
    EXPECT_EQ(out.closed, 0);
    EXPECT_EQ(out.abandoned.size(), 1u);
    // The next ready gets a fresh device.
    out.closable = true;
    ASSERT_NE(pxtone_Ready(nullptr, 2, RATE, 16, 0.1f, 0, nullptr), 0);
    EXPECT_EQ(out.opened, 2);
}

}  // namespace
