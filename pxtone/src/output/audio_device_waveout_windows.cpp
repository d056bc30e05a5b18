// waveOut output on Windows, keeping the rules of the PulseAudio output:
// the buffer asked for is cut in four periods, at most those four wait in
// the device, and a start or a stop drops what waits (waveOutReset) so its
// sound is the next to play.
//
// One writer thread of ours renders a period whenever the device has given
// one back (or a cut is waiting) and hands it over; the device signals an
// event as it gives a period back. Like the other outputs, it hands the
// pace to a silent clock when the device refuses a period (gone) or stops
// giving them back.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "output/audio_device.h"
#include "output/audio_device_silent.h"

namespace pxtone {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int QUEUED_PERIODS = 4;
// One more, for a cut that comes while all four wait: its period is written
// at once, after the reset that drops them.
constexpr int PERIODS = QUEUED_PERIODS + 1;

class WaveOutDevice : public AudioDevice {
public:
    WaveOutDevice(const AudioFormat &format, AudioClient &client)
        : format_(format), client_(client), period_(std::max(format.frames / 4, 32)) {}
    ~WaveOutDevice() override;

    bool open(std::string &error);
    DeviceHealth health() const override {
        return lost_.load() ? DeviceHealth::lost : DeviceHealth::working;
    }
    void cut() override;
    int64_t queued_frames() const override;

private:
    struct Period {
        WAVEHDR header{};
        std::vector<int16_t> sound;
        std::vector<uint8_t> bytes;  // an 8-bit device's samples
        bool queued = false;
    };

    bool prepare_periods();
    void write_loop();
    bool write_due();
    void collect_returned();
    Period *free_period();
    bool write_period(Period &p);
    void take_over();

    const AudioFormat format_;
    AudioClient &client_;
    const int period_;
    HWAVEOUT out_ = nullptr;
    HANDLE returned_ = nullptr;  // set by the device as it gives a period back
    HANDLE wake_ = nullptr;      // set for a cut and for the end
    std::atomic<bool> cut_{false}, stopping_{false}, lost_{false};
    std::atomic<int> queued_{0};  // periods in the device
    Period periods_[PERIODS];     // the writer thread's once it runs
    Clock::time_point opened_, last_return_;
    std::unique_ptr<SilentClock> stand_in_;
    std::thread writer_;
};

bool WaveOutDevice::open(std::string &error) {
    WAVEFORMATEX layout{};
    layout.wFormatTag = WAVE_FORMAT_PCM;
    layout.nChannels = WORD(format_.channels);
    layout.nSamplesPerSec = DWORD(format_.rate);
    layout.wBitsPerSample = WORD(format_.bits);
    layout.nBlockAlign = WORD(format_.channels * format_.bits / 8);
    layout.nAvgBytesPerSec = layout.nSamplesPerSec * layout.nBlockAlign;
    returned_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!returned_ || !wake_) {
        error = "waveOut: no event";
        return false;
    }
    MMRESULT r = waveOutOpen(&out_, WAVE_MAPPER, &layout, DWORD_PTR(returned_), 0, CALLBACK_EVENT);
    if (r != MMSYSERR_NOERROR) {
        char text[MAXERRORLENGTH] = "";
        waveOutGetErrorTextA(r, text, sizeof text);
        error = std::string("waveOut: ") + text;
        out_ = nullptr;
        return false;
    }
    if (!prepare_periods()) {
        error = "waveOut: cannot prepare buffers";
        return false;
    }
    opened_ = last_return_ = Clock::now();
    writer_ = std::thread([this] { write_loop(); });
    return true;
}

bool WaveOutDevice::prepare_periods() {
    const size_t samples = size_t(period_) * size_t(format_.channels);
    for (Period &p : periods_) {
        p.sound.resize(samples);
        p.bytes.resize(samples);
        p.header.lpData = format_.bits == 8 ? reinterpret_cast<LPSTR>(p.bytes.data())
                                            : reinterpret_cast<LPSTR>(p.sound.data());
        p.header.dwBufferLength = DWORD(samples * size_t(format_.bits / 8));
        if (waveOutPrepareHeader(out_, &p.header, sizeof p.header) != MMSYSERR_NOERROR) return false;
    }
    return true;
}

void WaveOutDevice::write_loop() {
    // The sound must not wait behind whatever else the machine runs.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    // Returns and cuts wake the writer; the timeout only spots a device
    // that stopped giving periods back.
    const DWORD POLL_MS = 100;
    HANDLE events[] = {returned_, wake_};
    while (write_due()) WaitForMultipleObjects(2, events, FALSE, POLL_MS);
}

// Fills every free place in the queue, or one period at once after a cut.
// False once the writer is done (stopping, or the pace handed over).
bool WaveOutDevice::write_due() {
    if (stopping_.load()) return false;
    collect_returned();
    const bool forced = cut_.exchange(false);
    bool wrote = false;
    for (;;) {
        const bool due = queued_.load() < QUEUED_PERIODS || (forced && !wrote);
        Period *p = due ? free_period() : nullptr;
        if (!p) break;
        if (!write_period(*p)) {
            take_over();
            return false;
        }
        wrote = true;
    }
    if (!wrote && device_stalled(Clock::now(), opened_, last_return_)) {
        take_over();
        return false;
    }
    return true;
}

void WaveOutDevice::collect_returned() {
    for (Period &p : periods_) {
        // The device sets the flag from its own thread.
        const DWORD flags = reinterpret_cast<volatile DWORD &>(p.header.dwFlags);
        if (p.queued && (flags & WHDR_DONE)) {
            p.queued = false;
            queued_.fetch_sub(1);
            last_return_ = Clock::now();
        }
    }
}

WaveOutDevice::Period *WaveOutDevice::free_period() {
    for (Period &p : periods_)
        if (!p.queued) return &p;
    return nullptr;
}

bool WaveOutDevice::write_period(Period &p) {
    if (client_.fill(p.sound.data(), period_)) {
        // What waits belongs to before the start or stop: drop it, so this
        // period is the next heard. The device gives every period back.
        waveOutReset(out_);
        collect_returned();
    }
    if (format_.bits == 8)
        for (size_t i = 0; i < p.sound.size(); i++) p.bytes[i] = uint8_t((p.sound[i] >> 8) + 128);
    p.header.dwFlags &= ~DWORD(WHDR_DONE);
    if (waveOutWrite(out_, &p.header, sizeof p.header) != MMSYSERR_NOERROR) return false;
    p.queued = true;
    queued_.fetch_add(1);
    return true;
}

void WaveOutDevice::take_over() {
    // The text first: whoever sees the health turn to lost also finds it.
    client_.device_lost();
    lost_.store(true);
    stand_in_ = pace_after(format_, period_, client_, last_return_);
}

void WaveOutDevice::cut() {
    cut_.store(true);
    SetEvent(wake_);
}

int64_t WaveOutDevice::queued_frames() const {
    return lost_.load() ? 0 : int64_t(queued_.load()) * period_;
}

WaveOutDevice::~WaveOutDevice() {
    stopping_.store(true);
    if (wake_) SetEvent(wake_);
    if (writer_.joinable()) writer_.join();
    stand_in_.reset();
    if (out_) {
        waveOutReset(out_);
        for (Period &p : periods_)
            if (p.header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(out_, &p.header, sizeof p.header);
        waveOutClose(out_);
    }
    if (returned_) CloseHandle(returned_);
    if (wake_) CloseHandle(wake_);
}

}  // namespace

OpenedDevice open_platform_device(const AudioFormat &format, AudioClient &client) {
    OpenedDevice opened;
    auto device = std::make_unique<WaveOutDevice>(format, client);
    std::string error;
    if (device->open(error)) {
        opened.device = std::move(device);
        return opened;
    }
    opened.error = "no audio device, silent";
    opened.device = open_silent_device(format, client, DeviceHealth::silent);
    return opened;
}

}  // namespace pxtone
