// demo_voices: the instruments of the demo tunes, designed here: ptvoice
// tones from overtones and drawn waves, ptnoise drums, and one sampled
// voice whose sample this tool synthesises itself.
#ifndef DEMO_VOICES_H
#define DEMO_VOICES_H

#include "tune_builder.h"

namespace demo {

using tune_builder::Voice;

// ptvoice
Voice flute_voice();       // breathy, soft attack, for melodies
Voice warm_pad_voice();    // two detuned saw-like layers, slow swell
Voice round_bass_voice();  // plucky and round
Voice bell_voice();        // struck, long decay
Voice square_lead_voice(); // a drawn square wave, chip-like
Voice reed_voice();        // nasal, accordion-like (two layers)

// ptnoise
Voice kick_voice();
Voice snare_voice();
Voice hat_voice();
Voice open_hat_voice();
Voice shaker_voice();

// PCM: a music-box tine, 16-bit mono at 22050 Hz, pitched so that the A4
// key sounds A4 (441 Hz, like the ptvoice tones). Deterministic.
Voice music_box_voice();

}  // namespace demo

#endif
