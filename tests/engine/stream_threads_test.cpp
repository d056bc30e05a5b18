// The control thread hammers the engine while its audio thread renders and
// calls back. Built to be run under ThreadSanitizer (CTest label "threads"),
// where any unguarded sharing shows up as a report.
#include <SDL.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>

#include "interface/interface_testing.h"
#include "stream_engine_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int> callbacks{0};
std::atomic<int> streaming_in_callback{0};

int32_t counting_callback(int32_t ticks) {
    callbacks++;
    if (pxtone_Tune_IsStreaming()) streaming_in_callback++;
    return ticks;
}

struct HammerTunes {
    TempFolder dir;
    std::vector<std::string> paths;
    HammerTunes() {
        paths.push_back(write_tune(dir, "short.ptcop", held_note_song(1)));
        paths.push_back(write_tune(dir, "looped.ptcop", held_note_song(2, 1)));
        tune_builder::Song tiny = held_note_song(1);
        tiny.last_clock = 60;  // a few milliseconds: ends all the time
        paths.push_back(write_tune(dir, "tiny.ptcop", tiny));
        paths.push_back(dir.path() + "/missing.ptcop");
    }
};

// Random control calls for `seconds`, loading another tune every few
// milliseconds, with a pause of `pause_us` after each; then on until
// `enough(calls)` says both threads have done enough work to count (a busy
// machine or a sanitizer may slow either), for a minute at most. Returns the
// number of calls made.
template <typename Enough>
int hammer_control(const HammerTunes &tunes, double seconds, unsigned seed, int pause_us, Enough enough) {
    std::mt19937 random(seed);
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    const auto cap = start + std::chrono::minutes(1);
    auto next_switch = Clock::now();
    int calls = 0;
    int32_t position = 0;
    while (Clock::now() < end || (!enough(calls) && Clock::now() < cap)) {
        if (Clock::now() >= next_switch) {
            const std::string &path = tunes.paths[random() % tunes.paths.size()];
            pxtone_Tune_Stop();
            pxtone_Tune_Release();
            pxtone_Tune_Load(nullptr, nullptr, path.c_str());
            pxtone_Tune_Start(0, int32_t(random() % 3) * 50);
            next_switch = Clock::now() + std::chrono::milliseconds(2 + random() % 4);
        }
        switch (random() % 8) {
            case 0: position = pxtone_Tune_Stop(); break;
            case 1: pxtone_Tune_Start(position, 0); break;
            case 2: pxtone_Tune_Start(int32_t(random() % 60000) - 1000, 20); break;
            case 3: pxtone_Tune_SetLoop(int(random() % 2)); break;
            case 4: pxtone_Tune_Release(); break;
            case 5: {
                int32_t a, c, d;
                float b;
                pxtone_Tune_GetInformation(&a, &b, &c, &d);
                break;
            }
            case 6: EXPECT_LE(std::strlen(pxtone_GetLastError()), 36u); break;
            default: pxtone_Tune_IsStreaming(); break;
        }
        calls++;
        if (pause_us > 0) std::this_thread::sleep_for(std::chrono::microseconds(pause_us));
        else if (random() % 16 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return calls;
}

TEST(ThreadsHammer, ControlCallsWhileTheAudioThreadRenders) {
    HammerTunes tunes;
    FakeOutput out;
    pxtone::use_device_opener(fake_opener(out));
    ASSERT_NE(pxtone_Ready(nullptr, 2, 22050, 16, 0.01f, 0, counting_callback), 0);
    callbacks = 0;

    std::atomic<bool> stop{false};
    std::thread audio([&] {
        int buffers = 0;
        while (!stop) {
            out.pump(1);
            // Now and then the device "goes away" from this thread, racing
            // the control thread's reads of the error text.
            if (++buffers % 500 == 0) out.report_lost();
            std::this_thread::yield();
        }
    });
    int calls = hammer_control(tunes, 4.0, 1234, 0, [](int n) {
        return n > 1000 && callbacks.load() > 100 && streaming_in_callback.load() > 0;
    });
    stop = true;
    audio.join();

    pxtone_Release();
    pxtone::use_device_opener(nullptr);
    EXPECT_GT(calls, 1000);
    EXPECT_GT(callbacks.load(), 100);
    EXPECT_GT(streaming_in_callback.load(), 0);
}

TEST(ThreadsHammer, OnTheSdlDummyDriver) {
    AudioDriverEnv env("dummy");
    HammerTunes tunes;
    // 256-frame buffers: about 86 callbacks a second, on SDL's thread. The
    // calls are slowed down so that tunes get to play between them.
    ASSERT_NE(pxtone_Ready(nullptr, 2, 22050, 16, 0.01f, 0, counting_callback), 0);
    callbacks = 0;
    int calls = hammer_control(tunes, 3.0, 99, 1000, [](int n) { return n > 500 && callbacks.load() > 20; });
    pxtone_Release();
    EXPECT_GT(calls, 500);
    EXPECT_GT(callbacks.load(), 20);
}

}  // namespace
