// SDL audio output, with a watcher that notices a sound server going away
// mid-tune and hands the pace over to a silent clock.
//
// Measured with SDL 2.26 and PulseAudio: a server that is killed leaves the
// device reporting SDL_AUDIO_STOPPED while SDL keeps calling back; a server
// that is frozen makes SDL stop calling back, and closing the device then
// blocks until the server wakes.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "output/audio_device.h"
#include "output/audio_device_silent.h"

namespace pxtone {

namespace {

using Clock = std::chrono::steady_clock;

int64_t now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

class SdlDevice : public AudioDevice {
public:
    SdlDevice(const AudioFormat &format, AudioClient &client, DeviceHealth health_when_open)
        : format_(format), client_(client), health_when_open_(health_when_open) {}
    ~SdlDevice() override;

    // Opens the device on the audio driver already initialised and starts
    // it; on failure returns SDL's error text.
    bool open(std::string &error);
    DeviceHealth health() const override;
    bool can_close() const override;
    void abandon() override;

private:
    void stop_watching();
    static void SDLCALL on_sdl_buffer(void *self, Uint8 *stream, int bytes);
    void on_buffer(Uint8 *stream, int bytes);
    void fill_device_buffer(Uint8 *stream, int frames);
    void watch();
    bool sdl_thread_stuck() const;
    void take_over();

    const AudioFormat format_;
    AudioClient &client_;
    const DeviceHealth health_when_open_;
    SDL_AudioDeviceID id_ = 0;

    // One fill at a time: SDL's thread until the device is lost, then the
    // stand-in clock; the switch happens under this lock.
    std::mutex fill_mutex_;
    std::vector<int16_t> scratch_;  // SDL's thread: 16-bit sound for an 8-bit device
    std::atomic<bool> lost_{false};
    std::atomic<int64_t> callbacks_{0};
    std::atomic<int64_t> callbacks_at_loss_{0};
    std::atomic<int64_t> last_callback_ns_{0};
    int64_t opened_ns_ = 0;

    std::unique_ptr<SilentClock> stand_in_;  // made by the watcher when lost
    std::mutex watch_mutex_;
    std::condition_variable watch_wake_;
    bool watch_stopping_ = false;  // guarded by watch_mutex_
    std::thread watcher_;
};

bool SdlDevice::open(std::string &error) {
    SDL_AudioSpec want{}, have{};
    want.freq = format_.rate;
    want.format = format_.bits == 8 ? AUDIO_U8 : AUDIO_S16SYS;
    want.channels = Uint8(format_.channels);
    want.samples = Uint16(format_.frames);
    want.callback = on_sdl_buffer;
    want.userdata = this;
    // No changes allowed: SDL converts to whatever the hardware takes, and
    // calls back with buffers of exactly the size asked.
    id_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id_ == 0) {
        error = SDL_GetError();
        return false;
    }
    opened_ns_ = now_ns();
    watcher_ = std::thread([this] { watch(); });
    SDL_PauseAudioDevice(id_, 0);
    return true;
}

void SdlDevice::stop_watching() {
    {
        std::lock_guard<std::mutex> lock(watch_mutex_);
        watch_stopping_ = true;
    }
    watch_wake_.notify_all();
    if (watcher_.joinable()) watcher_.join();
}

SdlDevice::~SdlDevice() {
    if (id_ == 0) return;
    stop_watching();
    SDL_CloseAudioDevice(id_);
    stand_in_.reset();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

DeviceHealth SdlDevice::health() const {
    return lost_.load() ? DeviceHealth::lost : health_when_open_;
}

bool SdlDevice::can_close() const {
    return !lost_.load() || callbacks_.load() > callbacks_at_loss_.load() ||
           SDL_GetAudioDeviceStatus(id_) == SDL_AUDIO_STOPPED;
}

void SdlDevice::abandon() {
    stop_watching();
    stand_in_.reset();
    // SDL's thread, should it wake, finds the device lost and fills silence.
    lost_.store(true);
}

void SDLCALL SdlDevice::on_sdl_buffer(void *self, Uint8 *stream, int bytes) {
    static_cast<SdlDevice *>(self)->on_buffer(stream, bytes);
}

void SdlDevice::on_buffer(Uint8 *stream, int bytes) {
    callbacks_.fetch_add(1);
    last_callback_ns_.store(now_ns());
    int bytes_per_frame = format_.channels * (format_.bits == 8 ? 1 : 2);
    std::lock_guard<std::mutex> lock(fill_mutex_);
    if (lost_.load()) {
        SDL_memset(stream, format_.bits == 8 ? 0x80 : 0, size_t(bytes));
        return;
    }
    fill_device_buffer(stream, bytes / bytes_per_frame);
}

void SdlDevice::fill_device_buffer(Uint8 *stream, int frames) {
    if (format_.bits == 16) {
        client_.fill(reinterpret_cast<int16_t *>(stream), frames);
        return;
    }
    scratch_.resize(size_t(frames) * size_t(format_.channels));
    client_.fill(scratch_.data(), frames);
    for (size_t i = 0; i < scratch_.size(); i++) stream[i] = Uint8((scratch_[i] >> 8) + 128);
}

bool SdlDevice::sdl_thread_stuck() const {
    // A new PulseAudio stream calls back once, then often not again for well
    // over a second (measured up to 1.5 s), so the first seconds get longer.
    const int64_t START_NS = 4000000000LL, START_STALL_NS = 3000000000LL;
    const int64_t period_ns = int64_t(format_.frames) * 1000000000LL / format_.rate;
    const int64_t stall_ns = std::max<int64_t>(1500000000LL, 8 * period_ns);
    int64_t now = now_ns();
    int64_t last = std::max(last_callback_ns_.load(), opened_ns_);
    return now - last > (now - opened_ns_ < START_NS ? START_STALL_NS : stall_ns);
}

void SdlDevice::watch() {
    const auto POLL = std::chrono::milliseconds(50);
    std::unique_lock<std::mutex> lock(watch_mutex_);
    while (!watch_wake_.wait_for(lock, POLL, [this] { return watch_stopping_; })) {
        if (SDL_GetAudioDeviceStatus(id_) == SDL_AUDIO_STOPPED || sdl_thread_stuck()) {
            take_over();
            return;
        }
    }
}

void SdlDevice::take_over() {
    // The text first: whoever sees the health turn to lost also finds it.
    client_.device_lost();
    {
        std::lock_guard<std::mutex> lock(fill_mutex_);
        lost_.store(true);
        callbacks_at_loss_.store(callbacks_.load());
    }
    // Carry on from where the device stopped asking, so the tune keeps its
    // real-time length.
    int64_t last = last_callback_ns_.load();
    auto first_due = Clock::now();
    if (last != 0) {
        int64_t period_ns = int64_t(format_.frames) * 1000000000LL / format_.rate;
        first_due = Clock::time_point(std::chrono::nanoseconds(last + period_ns));
    }
    stand_in_ = std::make_unique<SilentClock>(
        format_, [this](int16_t *out, int frames) { client_.fill(out, frames); }, first_due);
}

// Starts SDL audio on `driver` (null: SDL's choice, which honours
// SDL_AUDIODRIVER). Each open device holds one reference to the subsystem.
bool start_sdl_audio(const char *driver, std::string &error) {
    // Allegro (or the program) owns SIGINT and SIGTERM.
    SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    if (driver)
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
    else
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = SDL_GetError();
        return false;
    }
    return true;
}

std::unique_ptr<AudioDevice> open_on_driver(const char *driver, const AudioFormat &format,
                                            AudioClient &client, DeviceHealth health) {
    std::string error;
    if (!start_sdl_audio(driver, error)) return nullptr;
    auto device = std::make_unique<SdlDevice>(format, client, health);
    if (device->open(error)) return device;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
}

// SDL would take PulseAudio first, when a server answers, unless
// SDL_AUDIODRIVER names another driver.
bool pulse_is_sdls_choice() {
    const char *driver = std::getenv("SDL_AUDIODRIVER");
    if (!driver || !*driver) return true;
    return std::strncmp(driver, "pulseaudio", 10) == 0 && (driver[10] == '\0' || driver[10] == ',');
}

}  // namespace

OpenedDevice open_platform_device(const AudioFormat &format, AudioClient &client) {
    OpenedDevice opened;
    // Ours plays there with less queued. SDL's own PulseAudio driver is not
    // started at all then: taken down again at once, its hotplug thread
    // could meet a server coming or going and abort in libpulse.
    std::string pulse_error;
    if (pulse_is_sdls_choice() && (opened.device = open_pulse_device(format, client, pulse_error)))
        return opened;
    opened.device = open_on_driver(nullptr, format, client, DeviceHealth::working);
    if (opened.device) return opened;
    // Our own silent clock, not SDL's "dummy" driver: closing that one waits
    // out its thread's sleep (0.2-0.3 s measured), and every try to get the
    // device back closes the silent output first, on the control thread.
    opened.error = "no audio device, silent";
    opened.device = open_silent_device(format, client, DeviceHealth::silent);
    return opened;
}

}  // namespace pxtone
