// A unit: one monophonic channel of the song. It keeps the state its events
// set (voice, key, porta, velocity, volume, pan, group, key correction) and
// the note it is sounding, plus the one it just cut, fading out.
#ifndef PXTONE_UNIT_PLAYER_H
#define PXTONE_UNIT_PLAYER_H

#include <cstdint>
#include <vector>

#include "voices/note_slot.h"
#include "mix/song_clock.h"
#include "tune_model.h"
#include "voices/voice_play.h"

namespace pxtone {

// Pitch is taken at whole sixteenths of a semitone (16 key units), the key
// rounded down, so a glide moves in these steps, each taken on the frame
// the gliding key reaches it.
constexpr double PITCH_STEP_KEYS = 16.0;
// Longest pan-time offset between the channels, in frames at 44.1 kHz.
constexpr int PAN_TIME_MAX = 64;

// PAN TIME: one channel of the unit heard a little later than the other.
// 64 is none; each step away from 64 delays the far channel by one frame
// at 44.1 kHz (so at most 64 frames, 1.45 ms).
struct PanTimeDelay {
    static constexpr int SIZE = 512;  // > 64 frames at 192 kHz
    float ring[2][SIZE] = {};
    int at = 0;
    int delay[2] = {0, 0};  // frames, left and right
    bool busy = false;      // the ring may hold sound
};

struct UnitPlayer {
    int32_t voice_no = 0;
    double key = KEY_REFERENCE;  // the key sounding now (before its rounding down)
    int32_t porta_ticks = 0;
    double glide_from = 0.0, glide_to = 0.0;
    int64_t glide_len = 0, glide_age = 0;  // glide_len 0: no glide
    int64_t key_event_frame = -1;          // frame of the last KEY event
    int32_t velocity = DEFAULT_VELOCITY;
    int32_t volume = DEFAULT_VOLUME;
    int32_t pan_volume = PAN_CENTRE;
    int32_t pan_time = PAN_CENTRE;
    int32_t group = 0;
    double key_correct = 1.0;
    NoteSlot note;
    NoteSlot fading;
    PanTimeDelay pan_delay;
};

struct UnitContext {
    const SongClock *clock;
    const std::vector<VoicePlay> *voices;
    int rate;
};

// Applies one event at `frame` (the event's own frame). For an ON,
// `next_on_frame` is the frame of the unit's next ON (NEVER when none).
void unit_event(UnitPlayer &u, const Event &e, int64_t frame, int64_t next_on_frame,
                const UnitContext &ctx);
// Adds the next `frames` frames of the unit into left/right, or only
// advances it when left is null.
void unit_render(UnitPlayer &u, int frames, float *left, float *right);
// Sets the pan-time delays for PAN TIME `value` at output rate `rate`.
void unit_set_pan_time(UnitPlayer &u, int32_t value, int rate);
// True when the unit's sound must pass through its pan-time delay.
inline bool unit_pan_delayed(const UnitPlayer &u) { return u.pan_delay.busy; }
// Adds `frames` frames of the unit's dry sound (in_left/in_right) into
// out_left/out_right through its pan-time delay.
void unit_pan_time(UnitPlayer &u, const float *in_left, const float *in_right, int frames,
                   float *out_left, float *out_right);
// True while the unit has a note sounding or fading.
inline bool unit_sounding(const UnitPlayer &u) { return u.note.active() || u.fading.active(); }

}  // namespace pxtone

#endif
