#include "voices/voice_play.h"

#include <algorithm>
#include <cmath>

#include "levels.h"
#include "voices/wave_table.h"

namespace pxtone {

namespace {

// The far side of a pan falls linearly to silence at 0 or 128.
float pan_left(int32_t pan) { return pan <= 64 ? 1.0f : float(128 - pan) / 64.0f; }
float pan_right(int32_t pan) { return pan >= 64 ? 1.0f : float(pan) / 64.0f; }

// Keys the voices were designed at; another basic key shifts the pitch by
// the difference.
constexpr int32_t PTV_BASIC_KEY = 0x2D00;
constexpr int32_t SAMPLE_BASIC_KEY = 0x4500;

// ptvoice key A4 sounds at 441 Hz, not 440: notes in the editor's WAV
// exports measure 3.9 to 4.0 cents above 440 Hz equal temperament.
constexpr double PTV_A4_HZ = 441.0;


double key_factor(int32_t basic_key, int32_t standard) {
    const double apart = std::clamp(double(standard) - double(basic_key), -KEY_SPAN, KEY_SPAN);
    return std::exp2(apart / 3072.0);
}

FrameEnvelope frame_envelope(const WaveLayer &l, int rate) {
    FrameEnvelope e;
    if (!l.has_envelope) return e;
    double t = 0.0;
    int64_t prev_end = 0;
    int32_t prev = 0;
    for (const auto &p : l.envelope.head) {
        t += p.seconds;
        int64_t end = int64_t(std::llround(t * rate));
        int32_t level = int32_t(std::lround(p.level * ENVELOPE_FULL));
        e.ends.push_back(end);
        e.levels.push_back(level);
        // The hold is the level of the head's last frame.
        e.hold = end > prev_end ? prev + int32_t(int64_t(level - prev) * (end - 1 - prev_end) /
                                                 (end - prev_end))
                                : level;
        prev = level;
        prev_end = end;
    }
    e.release = int64_t(std::llround(double(l.envelope.release_seconds) * rate));
    return e;
}

}  // namespace

VoicePlay prepare_voice(const Voice &v, int rate) {
    VoicePlay p;
    p.voice = &v;
    p.silent = !v.playable;
    const bool smooth = (v.flags & VOICE_FLAG_SMOOTH) != 0;
    p.cut_fade = smooth ? int64_t(std::llround(CUT_FADE_SECONDS * rate)) : 0;
    p.attack = smooth ? int64_t(std::llround(SMOOTH_ATTACK_SECONDS * rate)) : 0;
    p.end_fade = smooth ? int64_t(std::llround(END_FADE_SECONDS * rate)) : 0;
    if (p.silent) return p;
    if (v.kind == VoiceKind::ptvoice) {
        p.layer_count = int(std::min<size_t>(v.layers.size(), 2));
        for (int i = 0; i < p.layer_count; i++) {
            const WaveLayer &l = v.layers[size_t(i)];
            if (l.table.empty()) continue;  // stays silent
            LayerPlay &lp = p.layers[i];
            lp.table = l.table.data();
            lp.table_size = uint32_t(l.table.size());
            lp.pitch = PTV_A4_HZ * l.tuning * key_factor(l.basic_key, PTV_BASIC_KEY) / rate;
            lp.gain_left = l.volume * pan_left(l.pan);
            lp.gain_right = l.volume * pan_right(l.pan);
            lp.envelope = frame_envelope(l, rate);
        }
        return p;
    }
    p.is_sample = true;
    if (v.sample.frames() == 0) {
        p.silent = true;
        return p;
    }
    p.sample_step = v.sample.rate / rate * v.tuning * key_factor(v.basic_key, SAMPLE_BASIC_KEY);
    p.sample_gain = v.kind == VoiceKind::ptnoise ? NOISE_GAIN : SAMPLE_GAIN;
    return p;
}

}  // namespace pxtone
