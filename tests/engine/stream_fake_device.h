// An in-memory sound device for the engine's tests. Nothing runs by itself:
// the test pumps buffers, and each pump goes through the real engine (its
// stream, renderer and play callback) exactly as a sound card's thread would.
#ifndef STREAM_FAKE_DEVICE_H
#define STREAM_FAKE_DEVICE_H

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "output/audio_device.h"

struct FakeOutput {
    std::mutex mutex;  // held while pumping and while a device opens or closes
    pxtone::AudioClient *client = nullptr;  // the engine, while a fake device is open
    pxtone::AudioFormat format;
    std::atomic<pxtone::DeviceHealth> health_at_open{pxtone::DeviceHealth::working};
    std::atomic<bool> closable{true};
    std::atomic<int> opened{0}, closed{0};
    std::atomic<int64_t> queued{0};  // what the device says it still queues
    std::atomic<int> cut_calls{0};
    std::vector<bool> cut_flags;     // what each fill answered, under mutex
    std::vector<std::unique_ptr<pxtone::AudioDevice>> abandoned;  // kept, as the engine lets go

    // Asks the engine for `buffers` buffers, one fill each; returns their
    // frames, or nothing when no fake device is open.
    std::vector<int16_t> pump(int buffers = 1) {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<int16_t> out;
        if (!client) return out;
        size_t step = size_t(format.frames) * size_t(format.channels);
        out.resize(step * size_t(buffers));
        for (int b = 0; b < buffers; b++)
            cut_flags.push_back(client->fill(out.data() + step * size_t(b), format.frames));
        return out;
    }
    // Tells the engine its device is gone, from the caller's thread, as a
    // device's own thread would; the device itself stays as it was.
    void report_lost() {
        std::lock_guard<std::mutex> lock(mutex);
        if (client) client->device_lost();
    }
};

class FakeDevice : public pxtone::AudioDevice {
public:
    FakeDevice(FakeOutput &out, pxtone::AudioClient &client, const pxtone::AudioFormat &format)
        : out_(out), health_(out.health_at_open.load()) {
        std::lock_guard<std::mutex> lock(out.mutex);
        out.client = &client;
        out.format = format;
        out.opened++;
    }
    ~FakeDevice() override {
        std::lock_guard<std::mutex> lock(out_.mutex);
        out_.client = nullptr;
        out_.closed++;
    }
    pxtone::DeviceHealth health() const override { return health_.load(); }
    bool can_close() const override { return out_.closable.load(); }
    void cut() override { out_.cut_calls++; }
    int64_t queued_frames() const override { return out_.queued.load(); }
    void abandon() override {
        std::lock_guard<std::mutex> lock(out_.mutex);
        out_.client = nullptr;
        out_.abandoned.emplace_back(this);
    }
    // The device goes away: reports it the way a device's own thread does.
    void lose() {
        health_.store(pxtone::DeviceHealth::lost);
        std::lock_guard<std::mutex> lock(out_.mutex);
        if (out_.client) out_.client->device_lost();
    }

private:
    FakeOutput &out_;
    std::atomic<pxtone::DeviceHealth> health_;
};

// An opener making fake devices for `out`; `last` (if given) is set to the
// newest.
inline pxtone::DeviceOpener fake_opener(FakeOutput &out, FakeDevice **last = nullptr) {
    return [&out, last](const pxtone::AudioFormat &format, pxtone::AudioClient &client) {
        pxtone::OpenedDevice opened;
        auto device = std::make_unique<FakeDevice>(out, client, format);
        if (last) *last = device.get();
        opened.device = std::move(device);
        return opened;
    };
}

#endif
