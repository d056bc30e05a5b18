// One sounding note of a unit: its voice, its age in frames, where its
// release begins, its oscillator phases or sample position. Everything that
// changes from frame to frame is an integer counter, so advancing a note by
// n frames without sound (for seeking) leaves it exactly as rendering those
// frames would.
#ifndef PXTONE_NOTE_SLOT_H
#define PXTONE_NOTE_SLOT_H

#include <cstdint>

#include "voices/voice_play.h"

namespace pxtone {

constexpr int64_t NEVER = INT64_MAX / 4;

struct NoteSlot {
    const VoicePlay *vp = nullptr;  // null: the slot is free
    int64_t age = 0;                // frames since key-on
    int64_t off_age = NEVER;        // age at key-off
    int64_t next_age = NEVER;       // age at which the unit's next note starts
    int32_t off_level[2] = {0, 0};  // envelope level at key-off, 0..ENVELOPE_FULL
    uint32_t seg[2] = {0, 0};       // envelope cursors
    int64_t fade_age = -1;          // >= 0: being cut; frames into the fade
    uint32_t phase[2] = {0, 0};     // ptvoice: position in the period, 2^32 = one period
    uint32_t inc[2] = {0, 0};
    uint64_t pos = 0;               // sample voices: source frame, 32.32 fixed point
    uint64_t step = 0;
    float gain_left = 0.0f;         // the unit's velocity, volume and pan
    float gain_right = 0.0f;

    bool active() const { return vp != nullptr; }
};

// Starts a note of voice `vp` that is released `length` frames from now
// and falls silent, at the latest, `next` frames from now, where the unit's
// next note begins (NEVER when none follows).
void note_start(NoteSlot &n, const VoicePlay *vp, int64_t length, int64_t next = NEVER);
// Sets the pitch: `factor` times the voice's pitch at the reference key.
void note_set_pitch(NoteSlot &n, double factor);
// Begins the short fade of a note cut short (frees it when the
// voice has no fade).
void note_cut(NoteSlot &n);
// Adds the next `frames` frames of the note into left/right, or, with
// left == nullptr, only advances it. Frees the slot once it has died away.
void note_render(NoteSlot &n, int frames, float *left, float *right);

}  // namespace pxtone

#endif
