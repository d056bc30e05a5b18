// A voice made ready for playing at one output rate: envelopes in frames,
// pitch factors and layer gains worked out once, so the audio thread only
// adds and multiplies.
#ifndef PXTONE_VOICE_PLAY_H
#define PXTONE_VOICE_PLAY_H

#include <cstdint>
#include <vector>

#include "tune_model.h"

namespace pxtone {

// Envelope levels are whole steps of 1/ENVELOPE_FULL, as the editor's
// recordings show: a slow linear fade comes out as a staircase, and a fade
// to silence stops one step above it.
constexpr int32_t ENVELOPE_FULL = 128;

// An envelope in frames: head segment k runs from ends[k-1] (0 for the
// first) to ends[k], from levels[k-1] (0 for the first) to levels[k], each
// frame's level truncated toward the segment's start level. After the head
// the level of its last frame holds.
struct FrameEnvelope {
    std::vector<int64_t> ends;
    std::vector<int32_t> levels;  // 0..ENVELOPE_FULL
    int32_t hold = ENVELOPE_FULL;
    int64_t release = 0;          // frames from key-off to silence
    // Level `age` frames after key-on (before key-off), 0..ENVELOPE_FULL.
    // `seg` is a cursor kept by the caller, only ever moved forward.
    int32_t head_level(int64_t age, uint32_t &seg) const {
        while (seg < ends.size() && age >= ends[seg]) seg++;
        if (seg >= ends.size()) return hold;
        const int64_t start = seg ? ends[seg - 1] : 0;
        const int32_t base = seg ? levels[seg - 1] : 0;
        return base + int32_t(int64_t(levels[seg] - base) * (age - start) / (ends[seg] - start));
    }
};

struct LayerPlay {
    const float *table = nullptr;  // one period of `table_size` samples
    uint32_t table_size = 0;
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
    int64_t end_fade = 0;  // smooth voices: fade-out ending where the note falls silent
    int64_t attack = 0;   // fade-in at key-on
    int64_t cut_fade = 0;  // fade when cut short
};

VoicePlay prepare_voice(const Voice &v, int rate);

}  // namespace pxtone

#endif
