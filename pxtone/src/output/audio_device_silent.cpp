#include "output/audio_device_silent.h"

namespace pxtone {

SilentClock::SilentClock(const AudioFormat &format, Fill fill, Clock::time_point first_due)
    : format_(format),
      fill_(std::move(fill)),
      first_due_(first_due),
      buffer_(size_t(format.frames) * size_t(format.channels)),
      thread_([this] { run(); }) {}

SilentClock::~SilentClock() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

bool SilentClock::wait_until(Clock::time_point when) {
    std::unique_lock<std::mutex> lock(mutex_);
    return wake_.wait_until(lock, when, [this] { return stopping_; });
}

void SilentClock::run() {
    const auto MAX_CATCH_UP = std::chrono::seconds(2);
    // Due times are counted in whole buffers from a base, so rounding never
    // adds up to drift.
    const int64_t REBASE_EVERY = 4096;  // keeps the products below far from overflow
    Clock::time_point base = first_due_;
    int64_t buffers = 0;
    auto due_time = [&] {
        return base + std::chrono::nanoseconds(buffers * format_.frames * 1000000000LL /
                                               format_.rate);
    };
    for (;;) {
        Clock::time_point due = due_time();
        if (Clock::now() - due > MAX_CATCH_UP) {
            base = Clock::now();
            buffers = 0;
            continue;
        }
        if (wait_until(due)) return;
        fill_(buffer_.data(), format_.frames);
        if (++buffers == REBASE_EVERY) {
            base = due_time();
            buffers = 0;
        }
    }
}

std::unique_ptr<SilentClock> pace_after(const AudioFormat &format, int period, AudioClient &client,
                                        SilentClock::Clock::time_point last_taken) {
    AudioFormat paced = format;
    paced.frames = period;
    return std::make_unique<SilentClock>(
        paced, [&client](int16_t *out, int frames) { client.fill(out, frames); },
        last_taken + std::chrono::nanoseconds(int64_t(period) * 1000000000LL / format.rate));
}

bool device_stalled(SilentClock::Clock::time_point now, SilentClock::Clock::time_point opened,
                    SilentClock::Clock::time_point last_taken) {
    const auto START = std::chrono::seconds(4), START_STALL = std::chrono::seconds(3);
    const auto STALL = std::chrono::milliseconds(1500);
    return now - last_taken > (now - opened < START ? START_STALL : STALL);
}

namespace {

class SilentDevice : public AudioDevice {
public:
    SilentDevice(const AudioFormat &format, AudioClient &client, DeviceHealth health)
        : health_(health),
          clock_(format, [&client](int16_t *out, int frames) { client.fill(out, frames); },
                 SilentClock::Clock::now()) {}
    DeviceHealth health() const override { return health_; }

private:
    DeviceHealth health_;
    SilentClock clock_;
};

}  // namespace

std::unique_ptr<AudioDevice> open_silent_device(const AudioFormat &format, AudioClient &client,
                                                DeviceHealth health) {
    return std::make_unique<SilentDevice>(format, client, health);
}

}  // namespace pxtone
