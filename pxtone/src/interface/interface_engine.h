// The engine behind the C calls of pxtone.h: the one instance a process
// has, and the output it plays through.
#ifndef PXTONE_INTERFACE_ENGINE_H
#define PXTONE_INTERFACE_ENGINE_H

#include <chrono>
#include <memory>

#include "output/audio_device.h"
#include "interface/interface_error.h"
#include "output/stream.h"
#include "output/tune_handle.h"

namespace pxtone {

struct Engine : AudioClient {
    // Any thread:
    ErrorText error;
    Stream stream;

    // Control thread only:
    bool ready = false;
    AudioFormat format;
    std::unique_ptr<AudioDevice> device;
    std::chrono::steady_clock::time_point last_open_attempt{};
    double recover_interval_sec = 3.0;
    // The loaded tune: its instance while the stream does not hold it (from
    // the load to the first start), and what GetInformation tells of it.
    bool loaded = false;
    TuneHandle tune;
    bw_info info{};
    // The last load failed and nothing was released since: a start or an
    // information call then keeps the load's error text, which says why.
    bool load_failed = false;
    DeviceOpener opener;  // null: the platform's

    bool fill(int16_t *out, int frames) override { return stream.fill(out, frames); }
    void device_lost() override { error.set("sound device lost, silent"); }
};

// The process's engine. Never destroyed, so a device thread still running
// at exit never sees it torn down.
Engine &the_engine();

// Opens the output for engine.format; always leaves a device, a silent one
// when no sound device opens (and then sets the error text).
void open_output(Engine &engine);
// Closes the output. A device whose thread is stuck is let go unclosed,
// because closing it would block.
void close_output(Engine &engine);
// After the device was lost or never opened, tries it again, at most every
// few seconds; called at each load and start.
void recover_output(Engine &engine);

}  // namespace pxtone

#endif
