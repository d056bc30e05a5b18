#include "mix/unit_player.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "levels.h"
#include "tune_limits.h"

namespace pxtone {

namespace {

float pan_left(int32_t pan) { return pan <= 64 ? 1.0f : float(128 - pan) / 64.0f; }
float pan_right(int32_t pan) { return pan >= 64 ? 1.0f : float(pan) / 64.0f; }

void update_gain(UnitPlayer &u) {
    float g = float(u.velocity) / VELOCITY_FULL * float(u.volume) / VOLUME_FULL;
    u.note.gain_left = g * pan_left(u.pan_volume);
    u.note.gain_right = g * pan_right(u.pan_volume);
}

// The key of a glide `age` frames after it began.
double glide_key(const UnitPlayer &u, int64_t age) {
    return u.glide_from + (u.glide_to - u.glide_from) * double(age) / double(u.glide_len);
}

double stepped(double key) { return std::floor(key / PITCH_STEP_KEYS) * PITCH_STEP_KEYS; }

void update_pitch(UnitPlayer &u) {
    const double apart = std::clamp(stepped(u.key) - KEY_REFERENCE, -KEY_SPAN, KEY_SPAN);
    note_set_pitch(u.note, std::exp2(apart / 3072.0) * u.key_correct);
}

int32_t clamp(int32_t v, int32_t lo, int32_t hi) { return std::min(std::max(v, lo), hi); }

// KEY CORRECT carries a frequency factor as the bit pattern of a float (as
// ptvoice tunings are stored); anything not a sensible factor is no change.
double key_correct_factor(int32_t value) {
    float f;
    std::memcpy(&f, &value, 4);
    return std::isfinite(f) && f > 0.0625f && f < 16.0f ? double(f) : 1.0;
}

void start_note(UnitPlayer &u, const Event &e, int64_t frame, int64_t next_on_frame,
                const UnitContext &ctx) {
    if (u.note.active()) {
        u.fading = u.note;
        note_cut(u.fading);
    }
    // A KEY at the same clock as the note takes effect at once.
    if (u.key_event_frame == frame && u.glide_len > 0) {
        u.key = u.glide_to;
        u.glide_len = 0;
    }
    const std::vector<VoicePlay> &voices = *ctx.voices;
    const VoicePlay *vp = u.voice_no >= 0 && size_t(u.voice_no) < voices.size()
                              ? &voices[size_t(u.voice_no)]
                              : nullptr;
    int64_t off = ctx.clock->frame_of(int64_t(e.clock) + std::max(e.value, 0)) - frame;
    note_start(u.note, vp, off, next_on_frame >= NEVER ? NEVER : next_on_frame - frame);
    update_gain(u);
    update_pitch(u);
}

void set_key(UnitPlayer &u, const Event &e, int64_t frame, const UnitContext &ctx) {
    u.key_event_frame = frame;
    const double to = e.value;
    if (u.porta_ticks > 0 && u.note.active()) {
        // A glide under way is left where it is now.
        u.glide_from = u.glide_len > 0 ? glide_key(u, u.glide_age) : u.key;
        u.glide_to = to;
        u.glide_len = ctx.clock->frame_of(int64_t(e.clock) + u.porta_ticks) - frame;
        u.glide_age = 0;
        if (u.glide_len > 0) return;
    }
    u.glide_len = 0;
    u.key = to;
    update_pitch(u);
}

}  // namespace

void unit_event(UnitPlayer &u, const Event &e, int64_t frame, int64_t next_on_frame,
                const UnitContext &ctx) {
    switch (e.kind) {
    case EV_ON: start_note(u, e, frame, next_on_frame, ctx); break;
    case EV_KEY: set_key(u, e, frame, ctx); break;
    case EV_PAN_VOLUME: u.pan_volume = clamp(e.value, 0, 128); update_gain(u); break;
    case EV_VELOCITY: u.velocity = clamp(e.value, 0, 1024); update_gain(u); break;
    case EV_VOLUME: u.volume = clamp(e.value, 0, 1024); update_gain(u); break;
    case EV_KEY_PORTA: u.porta_ticks = std::max(e.value, 0); break;
    case EV_VOICE_NO: u.voice_no = e.value; break;
    case EV_GROUP_NO: u.group = clamp(e.value, 0, MAX_GROUPS - 1); break;
    case EV_KEY_CORRECT:
        u.key_correct = key_correct_factor(e.value);
        update_pitch(u);
        break;
    case EV_PAN_TIME: unit_set_pan_time(u, clamp(e.value, 0, 128), ctx.rate); break;
    default: break;  // kinds no tune has shown
    }
}

void unit_set_pan_time(UnitPlayer &u, int32_t value, int rate) {
    u.pan_time = value;
    int frames = int(std::lround(std::abs(value - PAN_CENTRE) * double(rate) / 44100.0));
    frames = std::min(frames, PanTimeDelay::SIZE - 1);
    // Sound to the right reaches the right ear first: the left one waits.
    u.pan_delay.delay[0] = value > PAN_CENTRE ? frames : 0;
    u.pan_delay.delay[1] = value < PAN_CENTRE ? frames : 0;
    if (frames > 0) u.pan_delay.busy = true;
}

void unit_pan_time(UnitPlayer &u, const float *in_left, const float *in_right, int frames,
                   float *out_left, float *out_right) {
    PanTimeDelay &d = u.pan_delay;
    const int mask = PanTimeDelay::SIZE - 1;
    for (int i = 0; i < frames; i++) {
        d.ring[0][d.at] = in_left[i];
        d.ring[1][d.at] = in_right[i];
        out_left[i] += d.ring[0][(d.at - d.delay[0]) & mask];
        out_right[i] += d.ring[1][(d.at - d.delay[1]) & mask];
        d.at = (d.at + 1) & mask;
    }
}

namespace {

// Frames, at most `most`, for which a glide stays on its current pitch step.
int glide_steady(const UnitPlayer &u, int most) {
    const double now = stepped(glide_key(u, u.glide_age));
    const int64_t left = std::min<int64_t>(most, u.glide_len - u.glide_age);
    int64_t n = 1;
    while (n < left && stepped(glide_key(u, u.glide_age + n)) == now) n++;
    return int(n);
}

}  // namespace

void unit_render(UnitPlayer &u, int frames, float *left, float *right) {
    while (frames > 0) {
        int chunk = frames;
        if (u.glide_len > 0) {
            const double before = stepped(u.key);
            u.key = glide_key(u, u.glide_age);
            if (stepped(u.key) != before) update_pitch(u);
            chunk = glide_steady(u, chunk);
        }
        note_render(u.note, chunk, left, right);
        note_render(u.fading, chunk, left, right);
        if (u.glide_len > 0) {
            u.glide_age += chunk;
            if (u.glide_age >= u.glide_len) {
                u.key = u.glide_to;
                u.glide_len = 0;
                update_pitch(u);
            }
        }
        if (left) {
            left += chunk;
            right += chunk;
        }
        frames -= chunk;
    }
}

}  // namespace pxtone
