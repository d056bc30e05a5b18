// Builds a tune in code, loads it through the engine and renders it.
#ifndef TEST_SUPPORT_RENDER_SONG_H
#define TEST_SUPPORT_RENDER_SONG_H

#include <cstdint>
#include <memory>
#include <vector>

#include "tune.h"
#include "tune_builder.h"

namespace test_support {

// Loads a built song; fails the calling test (and returns null) when the
// engine refuses it.
std::shared_ptr<const pxtone::Tune> load_song(const tune_builder::Song &s);

// Renders a song once through at `rate` into interleaved stereo frames.
std::vector<int16_t> render_song(const tune_builder::Song &s, int rate = 44100);

// Renders a loaded tune once through (or `max_frames` frames).
std::vector<int16_t> render_tune(std::shared_ptr<const pxtone::Tune> tune, int rate,
                                 int64_t max_frames = -1);

}  // namespace test_support

#endif
