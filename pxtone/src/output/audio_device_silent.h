// SilentClock: a thread that asks for buffers at real-time pace and drops
// them, so a tune plays on (progress, its end) with no sound device at all.
#ifndef PXTONE_AUDIO_DEVICE_SILENT_H
#define PXTONE_AUDIO_DEVICE_SILENT_H

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "output/audio_device.h"

namespace pxtone {

class SilentClock {
public:
    using Clock = std::chrono::steady_clock;
    using Fill = std::function<void(int16_t *out, int frames)>;

    // Calls `fill` with format.frames frames, the first time at `first_due`
    // and then once per buffer period, on its own thread. Buffers that fell
    // due while it was not running are made up at once, up to two seconds'
    // worth; beyond that it starts afresh from now.
    SilentClock(const AudioFormat &format, Fill fill, Clock::time_point first_due);
    // Stops the thread; no fill runs once this returns.
    ~SilentClock();
    SilentClock(const SilentClock &) = delete;
    SilentClock &operator=(const SilentClock &) = delete;

private:
    void run();
    // Waits until `when` or a stop; true when stopped.
    bool wait_until(Clock::time_point when);

    AudioFormat format_;
    Fill fill_;
    Clock::time_point first_due_;
    std::vector<int16_t> buffer_;  // the clock thread's
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;  // guarded by mutex_
    std::thread thread_;     // started last, once the rest is set up
};

// For a device that stopped taking sound in periods of `period` frames: a
// silent clock going on from the period after the last one it took (at
// `last_taken`), so the tune keeps its real-time length.
std::unique_ptr<SilentClock> pace_after(const AudioFormat &format, int period, AudioClient &client,
                                        SilentClock::Clock::time_point last_taken);

// Whether a device opened at `opened` that last took sound at `last_taken`
// has stopped: nothing for 1.5 s, or for 3 s in its first 4 s (a new stream
// may ask for little at first).
bool device_stalled(SilentClock::Clock::time_point now, SilentClock::Clock::time_point opened,
                    SilentClock::Clock::time_point last_taken);

}  // namespace pxtone

#endif
