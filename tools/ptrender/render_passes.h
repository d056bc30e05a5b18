// Renders a loaded tune a number of times through into a SoundOut, through
// the library: each time after the first goes on from the song's repeat
// position, as the jukebox's loop mode plays it. The last time through
// either fades out over its last seconds, and the file ends with the fade,
// or, without a fade, the song stops at its end and the echoes of its delays
// ring out.
#ifndef PTRENDER_RENDER_PASSES_H
#define PTRENDER_RENDER_PASSES_H

#include <cstdint>
#include <string>

#include "brindlewick.h"
#include "sound_out.h"

// The longest output written: 10^9 frames, 6.3 hours at 44100 Hz (a WAV's
// sizes are 32-bit: its 4 bytes a frame must stay under 4 GiB).
constexpr int64_t MAX_OUTPUT_FRAMES = 1000000000;

struct RenderPasses {
    int loops = 1;
    double fade_seconds = 0.0;
};

// Renders `tune` (loaded, stereo, at `rate`, from its start) into `out`
// (opened, left open). Returns "" or what went wrong. Loops longer than
// MAX_OUTPUT_FRAMES are refused before any sound is written; echoes that
// would ring on past it are cut there.
std::string render_passes(bw_tune *tune, int rate, const RenderPasses &passes, SoundOut &out);

#endif
