// A test fixture: the real engine made ready on a fake device (2 channels,
// 22050 Hz, 16 bits, 0.1 s, as the program asks), with a play callback that
// records every call.
#ifndef STREAM_ENGINE_FIXTURE_H
#define STREAM_ENGINE_FIXTURE_H

#include <gtest/gtest.h>
#include <stdlib.h>

#include <mutex>
#include <vector>

#include "interface/interface_testing.h"
#include "pxtone.h"
#include "stream_fake_device.h"
#include "stream_test_tunes.h"

struct CallbackCall {
    int32_t ticks;
    bool streaming;  // what pxtone_Tune_IsStreaming said inside the callback
};

// The play callback is a plain function, so what it records is static.
struct CallbackLog {
    static std::mutex &mutex() {
        static std::mutex m;
        return m;
    }
    static std::vector<CallbackCall> &calls() {
        static std::vector<CallbackCall> c;
        return c;
    }
    static std::vector<CallbackCall> take() {
        std::lock_guard<std::mutex> lock(mutex());
        std::vector<CallbackCall> out;
        out.swap(calls());
        return out;
    }
    static int32_t record(int32_t ticks) {
        bool streaming = pxtone_Tune_IsStreaming() != 0;
        std::lock_guard<std::mutex> lock(mutex());
        calls().push_back({ticks, streaming});
        return 0;  // the engine must not care
    }
};

// SDL_AUDIODRIVER for one test, put back afterwards.
class AudioDriverEnv {
public:
    // driver null: SDL chooses.
    explicit AudioDriverEnv(const char *driver) {
        const char *old = getenv("SDL_AUDIODRIVER");
        had_ = old != nullptr;
        if (had_) old_ = old;
        if (driver)
            setenv("SDL_AUDIODRIVER", driver, 1);
        else
            unsetenv("SDL_AUDIODRIVER");
    }
    ~AudioDriverEnv() {
        if (had_)
            setenv("SDL_AUDIODRIVER", old_.c_str(), 1);
        else
            unsetenv("SDL_AUDIODRIVER");
    }

private:
    bool had_ = false;
    std::string old_;
};

class EngineOnFakeDevice : public ::testing::Test {
protected:
    static constexpr int RATE = 22050;
    static constexpr int FRAMES = 2048;

    void SetUp() override {
        pxtone::use_device_opener(fake_opener(out, &device));
        ASSERT_NE(pxtone_Ready(nullptr, 2, RATE, 16, 0.1f, 0, CallbackLog::record), 0);
        ASSERT_EQ(out.format.frames, FRAMES);
        CallbackLog::take();
    }
    void TearDown() override {
        pxtone_Release();
        pxtone::use_device_opener(nullptr);
        pxtone::set_recover_interval(3.0);
        CallbackLog::take();
    }
    // Loads `path` and starts it at `start`.
    void play(const std::string &path, int32_t start = 0, int32_t fade_msec = 0) {
        ASSERT_NE(pxtone_Tune_Load(nullptr, nullptr, path.c_str()), 0) << pxtone_GetLastError();
        ASSERT_NE(pxtone_Tune_Start(start, fade_msec), 0) << pxtone_GetLastError();
    }

    FakeOutput out;
    FakeDevice *device = nullptr;
    TempFolder dir;
};

#endif
