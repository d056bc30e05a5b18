// The sound output behind the engine: something that asks for a buffer of
// samples at the output's pace. The real ones are PulseAudio (ours) and SDL
// audio on Linux, waveOut on Windows; the tests use an in-memory device they
// pump themselves.
#ifndef PXTONE_AUDIO_DEVICE_H
#define PXTONE_AUDIO_DEVICE_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace pxtone {

struct AudioFormat {
    int channels = 2;   // 1 or 2
    int rate = 22050;   // frames per second
    int bits = 16;      // 8 or 16: what the device is given; fills are always 16-bit
    int frames = 2048;  // frames per buffer, a power of two
};

// What a device feeds from. fill() runs on the device's thread, one call per
// buffer and never two at once; device_lost() runs once, on a thread of the
// device's, when the device stops working while open.
class AudioClient {
public:
    // Writes `frames` interleaved 16-bit frames of the format's channels.
    // True when they follow a cut (a start or a stop since the buffer
    // before): a device drops what it still queues of earlier buffers.
    virtual bool fill(int16_t *out, int frames) = 0;
    virtual void device_lost() = 0;

protected:
    ~AudioClient() = default;
};

enum class DeviceHealth {
    working,  // sound goes to the device asked for
    silent,   // no device could be opened: a silent output keeps the pace
    lost,     // the device went away while open: a silent output keeps the pace
};

class AudioDevice {
public:
    // Closes the output: once it returns, fill() is not running and will not
    // run again. Call only when can_close() is true.
    virtual ~AudioDevice() = default;
    // Any thread.
    virtual DeviceHealth health() const = 0;
    // False while the device's own thread is stuck (a frozen sound server):
    // closing it then would block until the server wakes up.
    virtual bool can_close() const { return true; }
    // For a device that cannot close: stops every fill that does not come
    // from the stuck thread, which fills no more either. The caller then
    // lets the device go without destroying it.
    virtual void abandon() {}
    // Control thread, after a cut: a device that queues sound asks for its
    // next buffer now rather than when its queue has room.
    virtual void cut() {}
    // Control thread: frames handed out that are not heard yet and that the
    // next cut drops (0 where nothing is dropped).
    virtual int64_t queued_frames() const { return 0; }
};

// A device, or none with an error text saying why.
struct OpenedDevice {
    std::unique_ptr<AudioDevice> device;
    std::string error;
};

// Opens a device for `format` that starts calling client.fill() at once.
using DeviceOpener = std::function<OpenedDevice(const AudioFormat &format, AudioClient &client)>;

// The platform's sound output. Linux: our own PulseAudio output where a
// server answers (unless SDL_AUDIODRIVER names another driver), else SDL
// audio on its default driver. Windows: waveOut on the default device.
// Else a silent clock of our own (health silent).
// Always returns a device; `error` is set when it is not the one asked for.
// Control thread.
OpenedDevice open_platform_device(const AudioFormat &format, AudioClient &client);

// PulseAudio's default server and sink, `format.frames` frames at most
// queued ahead of the listener, in periods of a quarter of that; null with
// `error` set when no server answers within two seconds.
std::unique_ptr<AudioDevice> open_pulse_device(const AudioFormat &format, AudioClient &client,
                                               std::string &error);

// A silent output: a thread that calls client.fill() at real-time pace and
// throws the sound away. `health` is what it reports.
std::unique_ptr<AudioDevice> open_silent_device(const AudioFormat &format, AudioClient &client,
                                                DeviceHealth health);

// The buffer size for `seconds` of sound at `rate`: the nearest power of two
// frames, 64..32768 (0.1 s at 22050 Hz is 2048 frames).
int buffer_frames(int rate, double seconds);

}  // namespace pxtone

#endif
