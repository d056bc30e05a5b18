// A voice made ready for playing at one output rate: envelopes in frames,
// pitch factors and layer gains worked out once, so the audio thread only
// adds and multiplies.
#ifndef PXTONE_VOICE_PLAY_H
#define PXTONE_VOICE_PLAY_H

#include <cstdint>
#include <vector>

#include "tune_model.h"

namespace pxtone {

// An envelope in frames: head segment k runs from ends[k-1] (0 for the
// first) to ends[k], from levels[k-1] (0 for the first) to levels[k].
struct FrameEnvelope {
    std::vector<int64_t> ends;
    std::vector<float> levels;
    std::vector<float> slopes;  // level change per frame in each segment
    int64_t release = 0;        // frames from key-off to silence
    // Level `age` frames after key-on (before key-off). `seg` is a cursor
    // kept by the caller, only ever moved forward.
    float head_level(int64_t age, uint32_t &seg) const {
        while (seg < ends.size() && age >= ends[seg]) seg++;
        if (seg >= ends.size()) return levels.empty() ? 1.0f : levels.back();
        int64_t start = seg ? ends[seg - 1] : 0;
        float base = seg ? levels[seg - 1] : 0.0f;
        return base + slopes[seg] * float(age - start);
    }
};

struct LayerPlay {
    const float *table = nullptr;  // WAVE_TABLE_SIZE + 1 samples (wraps)
    double pitch = 1.0;            // frequency factor at the reference key
    float gain_left = 1.0f;
    float gain_right = 1.0f;
    FrameEnvelope envelope;
};

struct VoicePlay {
    const Voice *voice = nullptr;
    bool silent = true;
    bool is_sample = false;  // PCM, Ogg, noise: played from `voice->sample`
    int layer_count = 0;
    LayerPlay layers[2];
    // Sample voices: source frames per output frame at the reference key.
    double sample_step = 1.0;
    float sample_gain = 1.0f;
    int64_t release = 0;  // sample voices: fade at key-off
    int64_t attack = 0;   // fade-in at key-on
    int64_t cut_fade = 0;  // fade when cut by the next note
};

VoicePlay prepare_voice(const Voice &v, int rate);

}  // namespace pxtone

#endif
