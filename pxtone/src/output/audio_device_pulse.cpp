// PulseAudio output of our own, used where SDL would pick PulseAudio: SDL
// hands the server one whole buffer at a time and cannot drop what it
// queued, so a pick was heard up to two buffers late. Here the buffer asked
// for is cut in four periods: at most three wait in the server (its target
// length, the sink's share included) and one is in hand, and a start or a
// stop drops the queue so its sound is the next to play.
//
// One writer thread of ours renders a period whenever the server has room
// for one (or a cut is waiting) and writes it under the main loop's lock;
// it never waits on the server while holding a lock. Like SDL's device, it
// hands the pace to a silent clock when the server dies (the stream fails)
// or freezes (no room asked for in a while).
#include <pulse/pulseaudio.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "output/audio_device.h"
#include "output/audio_device_silent.h"

namespace pxtone {

namespace {

using Clock = std::chrono::steady_clock;

class PulseDevice : public AudioDevice {
public:
    PulseDevice(const AudioFormat &format, AudioClient &client)
        : format_(format), client_(client), period_(std::max(format.frames / 4, 32)) {}
    ~PulseDevice() override;

    bool open(std::string &error);
    DeviceHealth health() const override {
        return lost_.load() ? DeviceHealth::lost : DeviceHealth::working;
    }
    bool can_close() const override;
    void abandon() override;
    void cut() override;
    int64_t queued_frames() const override;

private:
    bool wait_ready(std::string &error);
    void write_loop();
    bool wait_for_room();
    void write_period();
    void take_over();
    void stop_writer();
    static void on_state(pa_context *, void *self);
    static void on_stream_state(pa_stream *, void *self);
    static void on_room(pa_stream *, size_t, void *self);
    void wake();

    const AudioFormat format_;
    AudioClient &client_;
    const int period_;
    pa_threaded_mainloop *loop_ = nullptr;
    pa_context *context_ = nullptr;
    pa_stream *stream_ = nullptr;

    std::mutex wake_mutex_;
    std::condition_variable wake_cv_;
    bool room_ = false, cut_ = false, stopping_ = false, failed_ = false;  // under wake_mutex_

    std::atomic<bool> lost_{false};
    std::atomic<bool> stuck_{false};       // lost because the server stopped asking
    std::atomic<int64_t> rooms_{0};        // room callbacks so far
    std::atomic<int64_t> rooms_at_loss_{0};
    Clock::time_point opened_, last_room_;  // writer thread
    std::vector<int16_t> sound_;
    std::vector<uint8_t> bytes_;            // an 8-bit device's samples
    std::unique_ptr<SilentClock> stand_in_;
    std::thread writer_;
};

pa_sample_spec sample_layout(const AudioFormat &format) {
    pa_sample_spec layout{};
    layout.format = format.bits == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16NE;
    layout.rate = uint32_t(format.rate);
    layout.channels = uint8_t(format.channels);
    return layout;
}

void PulseDevice::on_state(pa_context *, void *self) {
    static_cast<PulseDevice *>(self)->wake();
}

void PulseDevice::on_stream_state(pa_stream *, void *self) {
    static_cast<PulseDevice *>(self)->wake();
}

void PulseDevice::on_room(pa_stream *, size_t, void *self) {
    auto *d = static_cast<PulseDevice *>(self);
    d->rooms_.fetch_add(1);
    {
        std::lock_guard<std::mutex> lock(d->wake_mutex_);
        d->room_ = true;
    }
    d->wake_cv_.notify_all();
}

// Main loop thread (state callbacks): failures are read by the writer.
void PulseDevice::wake() {
    bool failed = false;
    if (context_ && !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_))) failed = true;
    if (stream_ && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) failed = true;
    {
        std::lock_guard<std::mutex> lock(wake_mutex_);
        failed_ = failed_ || failed;
    }
    wake_cv_.notify_all();
}

bool PulseDevice::open(std::string &error) {
    loop_ = pa_threaded_mainloop_new();
    if (!loop_) {
        error = "PulseAudio: no main loop";
        return false;
    }
    pa_threaded_mainloop_lock(loop_);
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Brindlewick");
    bool ok = context_ != nullptr;
    if (ok) {
        pa_context_set_state_callback(context_, on_state, this);
        ok = pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
    }
    pa_threaded_mainloop_unlock(loop_);
    if (!ok || pa_threaded_mainloop_start(loop_) < 0 || !wait_ready(error)) {
        if (error.empty()) error = "PulseAudio: no server";
        return false;
    }
    sound_.resize(size_t(period_) * size_t(format_.channels));
    opened_ = last_room_ = Clock::now();
    writer_ = std::thread([this] { write_loop(); });
    return true;
}

// Connects the stream once the context is up; a server that does not answer
// within two seconds counts as none.
bool PulseDevice::wait_ready(std::string &error) {
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    const size_t frame_bytes = size_t(format_.channels) * (format_.bits == 8 ? 1 : 2);
    for (;;) {
        pa_threaded_mainloop_lock(loop_);
        pa_context_state_t cs = pa_context_get_state(context_);
        if (cs == PA_CONTEXT_READY && !stream_) {
            pa_sample_spec layout = sample_layout(format_);
            stream_ = pa_stream_new(context_, "Playback", &layout, nullptr);
            if (stream_) {
                pa_buffer_attr attr{};
                attr.maxlength = uint32_t(-1);
                attr.tlength = uint32_t(3 * size_t(period_) * frame_bytes);
                attr.prebuf = uint32_t(size_t(period_) * frame_bytes);
                attr.minreq = attr.prebuf;
                attr.fragsize = uint32_t(-1);
                pa_stream_set_state_callback(stream_, on_stream_state, this);
                pa_stream_set_write_callback(stream_, on_room, this);
                auto flags = pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY);
                if (pa_stream_connect_playback(stream_, nullptr, &attr, flags, nullptr, nullptr) < 0)
                    error = pa_strerror(pa_context_errno(context_));
            }
        }
        pa_stream_state_t ss = stream_ ? pa_stream_get_state(stream_) : PA_STREAM_UNCONNECTED;
        pa_threaded_mainloop_unlock(loop_);
        if (ss == PA_STREAM_READY) return true;
        if (!error.empty() || !PA_CONTEXT_IS_GOOD(cs) || ss == PA_STREAM_FAILED ||
            ss == PA_STREAM_TERMINATED || Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void PulseDevice::write_loop() {
    // The sound must not wait behind whatever else the machine runs (a
    // failure, without the right to raise it, leaves the thread as it is).
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), -20);
    while (wait_for_room()) {
    }
}

// Waits for room, a cut or the end; writes a period when there is one to
// write. False once the writer is done (stopping, or the pace handed over).
bool PulseDevice::wait_for_room() {
    // Room and cuts wake the writer; the timeout only spots a frozen server.
    const auto POLL = std::chrono::milliseconds(100);
    bool forced = false;
    {
        std::unique_lock<std::mutex> lock(wake_mutex_);
        wake_cv_.wait_for(lock, POLL, [this] { return room_ || cut_ || stopping_ || failed_; });
        if (stopping_) return false;
        if (failed_) {
            lock.unlock();
            take_over();
            return false;
        }
        forced = cut_;
        room_ = cut_ = false;
    }
    pa_threaded_mainloop_lock(loop_);
    size_t room = pa_stream_writable_size(stream_);
    pa_threaded_mainloop_unlock(loop_);
    const size_t period_bytes = sound_.size() * (format_.bits == 8 ? 1 : 2);
    const auto now = Clock::now();
    if (room != size_t(-1) && room >= period_bytes) {
        last_room_ = now;
        write_period();
        // More room than one period (after a flush, or at the start): fill on.
        std::lock_guard<std::mutex> lock(wake_mutex_);
        room_ = true;
    } else if (forced) {
        write_period();  // not counted as room: a frozen server still looks frozen
    } else if (device_stalled(now, opened_, last_room_)) {
        stuck_.store(true);
        take_over();
        return false;
    }
    return true;
}

void PulseDevice::write_period() {
    const bool cut = client_.fill(sound_.data(), period_);
    const void *data = sound_.data();
    size_t size = sound_.size() * 2;
    if (format_.bits == 8) {
        bytes_.resize(sound_.size());
        for (size_t i = 0; i < sound_.size(); i++) bytes_[i] = uint8_t((sound_[i] >> 8) + 128);
        data = bytes_.data();
        size = bytes_.size();
    }
    pa_threaded_mainloop_lock(loop_);
    if (cut) {
        // What was queued belongs to before the start or stop: drop it, so
        // this period is the next heard.
        if (pa_operation *op = pa_stream_flush(stream_, nullptr, nullptr)) pa_operation_unref(op);
    }
    pa_stream_write(stream_, data, size, nullptr, 0, PA_SEEK_RELATIVE);
    pa_threaded_mainloop_unlock(loop_);
}

void PulseDevice::take_over() {
    // The text first: whoever sees the health turn to lost also finds it.
    client_.device_lost();
    rooms_at_loss_.store(rooms_.load());
    lost_.store(true);
    stand_in_ = pace_after(format_, period_, client_, last_room_);
}

void PulseDevice::cut() {
    {
        std::lock_guard<std::mutex> lock(wake_mutex_);
        cut_ = true;
    }
    wake_cv_.notify_all();
}

// What the server holds is its target length less the room it last asked
// for: right to within a period, and no timing queries to keep up.
int64_t PulseDevice::queued_frames() const {
    if (lost_.load()) return 0;
    pa_threaded_mainloop_lock(loop_);
    const pa_buffer_attr *attr = pa_stream_get_buffer_attr(stream_);
    size_t target = attr ? attr->tlength : 0, room = pa_stream_writable_size(stream_);
    pa_threaded_mainloop_unlock(loop_);
    if (room == size_t(-1) || room >= target) return 0;
    const size_t frame_bytes = size_t(format_.channels) * (format_.bits == 8 ? 1 : 2);
    return int64_t((target - room) / frame_bytes);
}

bool PulseDevice::can_close() const {
    // Frozen: reconnecting would find the same server, so wait for it to
    // ask again (or to die) first, as SDL's device does.
    return !stuck_.load() || rooms_.load() > rooms_at_loss_.load();
}

void PulseDevice::stop_writer() {
    {
        std::lock_guard<std::mutex> lock(wake_mutex_);
        stopping_ = true;
    }
    wake_cv_.notify_all();
    if (writer_.joinable()) writer_.join();
}

void PulseDevice::abandon() {
    stop_writer();
    stand_in_.reset();
    lost_.store(true);
}

PulseDevice::~PulseDevice() {
    stop_writer();
    stand_in_.reset();
    if (!loop_) return;
    pa_threaded_mainloop_lock(loop_);
    if (stream_) {
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_set_write_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
    }
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    pa_threaded_mainloop_unlock(loop_);
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

}  // namespace

std::unique_ptr<AudioDevice> open_pulse_device(const AudioFormat &format, AudioClient &client,
                                               std::string &error) {
    auto device = std::make_unique<PulseDevice>(format, client);
    if (!device->open(error)) return nullptr;
    return device;
}

}  // namespace pxtone
