#include "output/audio_device.h"

namespace pxtone {

int buffer_frames(int rate, double seconds) {
    const int MIN_FRAMES = 64, MAX_FRAMES = 32768;
    double wanted = double(rate) * seconds;
    if (!(wanted > MIN_FRAMES)) return MIN_FRAMES;  // also catches NaN
    int frames = MIN_FRAMES;
    while (frames < MAX_FRAMES && frames * 2 <= wanted) frames *= 2;
    // frames <= wanted < 2 * frames: take whichever is nearer.
    if (frames < MAX_FRAMES && wanted - frames > 2 * frames - wanted) frames *= 2;
    return frames;
}

}  // namespace pxtone
