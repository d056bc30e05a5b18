#include "interface/interface_engine.h"
#include "interface/interface_testing.h"

namespace pxtone {

Engine &the_engine() {
    static Engine *engine = new Engine;
    return *engine;
}

void use_device_opener(DeviceOpener opener) { the_engine().opener = std::move(opener); }

void set_recover_interval(double seconds) { the_engine().recover_interval_sec = seconds; }

// A device from the engine's opener, falling back to a silent clock when
// the opener has none to give.
static OpenedDevice open_device(Engine &engine) {
    OpenedDevice opened = engine.opener ? engine.opener(engine.format, engine)
                                        : open_platform_device(engine.format, engine);
    if (!opened.device) {
        opened.device = open_silent_device(engine.format, engine, DeviceHealth::silent);
        if (opened.error.empty()) opened.error = "no audio device, silent";
    }
    return opened;
}

void open_output(Engine &engine) {
    engine.last_open_attempt = std::chrono::steady_clock::now();
    OpenedDevice opened = open_device(engine);
    engine.device = std::move(opened.device);
    if (!opened.error.empty()) engine.error.set(opened.error);
}

void close_output(Engine &engine) {
    if (engine.device && !engine.device->can_close()) {
        // Its thread is stuck in a frozen sound server. Left open, and never
        // freed, since that thread may still wake and call into it.
        engine.device->abandon();
        engine.device.release();
    }
    engine.device.reset();
}

void recover_output(Engine &engine) {
    if (!engine.ready || !engine.device) return;
    if (engine.device->health() == DeviceHealth::working) return;
    std::chrono::duration<double> since =
        std::chrono::steady_clock::now() - engine.last_open_attempt;
    if (since.count() < engine.recover_interval_sec || !engine.device->can_close()) return;
    engine.device.reset();
    open_output(engine);
    if (engine.device->health() == DeviceHealth::working) engine.error.set("sound device back");
}

}  // namespace pxtone
