// For the engine's tests: play through a device of the test's making.
#ifndef PXTONE_INTERFACE_TESTING_H
#define PXTONE_INTERFACE_TESTING_H

#include "output/audio_device.h"

namespace pxtone {

// Devices opened by the next pxtone_Ready calls come from `opener` (null:
// the platform's again). Call only while the engine is not ready.
void use_device_opener(DeviceOpener opener);

// Seconds between attempts to get a lost device back (3 by default); the
// tests shorten it.
void set_recover_interval(double seconds);

}  // namespace pxtone

#endif
