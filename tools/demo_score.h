// demo_score: writes music into a tune_builder::Song from short texts, so
// the demo tunes read like scores.
//
// Melody text: space-separated tokens, each lasting LEN sixteenth notes.
//   C5:4      a note (letters A-G, then # or b, then the octave; A4 is the
//             engine's A4), four sixteenths long
//   E5        a note as long as the previous token
//   r:8       a rest
//   >G5:2     an accented note (louder)
//   C4+E4+G4  a chord: each note goes to the next unit of the track
//   |         a bar line: checks that the bar is complete
//   ( ... )*3 the enclosed tokens three times
// Drum text: one character per sixteenth; '.' is silence, any other
// character plays the drum unit mapped to it (an upper-case letter plays
// its lower-case drum accented); '|', '(' ')*N' as above.
//
// Malformed text (unknown token, bar line inside a bar, more chord notes than
// units) throws std::runtime_error naming the text and position: the demo
// tool stops instead of writing a wrong tune.
#ifndef DEMO_SCORE_H
#define DEMO_SCORE_H

#include <map>
#include <string>
#include <vector>

#include "tune_builder.h"

namespace demo {

struct Score {
    tune_builder::Song &song;
    int step;      // ticks per sixteenth note (beat_clock / 4)
    int bar_steps; // sixteenths per bar (beat_num * 4)
    int mix = 100; // percent applied to every unit's volume (the master fader)
};

// A unit with its voice, volume, pan (0..128, 64 centre) and delay group,
// set by events at tick 0. Returns the unit's index.
int add_unit(Score &sc, const std::string &name, int voice, int volume, int pan = 64,
             int group = 0);

struct Track {
    std::vector<int> units;  // one per chord note; melodies need one
    int velocity = 96;
    int gate = 90;           // percent of the note's time it sounds
};

// Writes the melody text from bar `bar` (0-based) on; returns the step
// after its last token.
int play(Score &sc, const Track &track, int bar, const std::string &text);

// Writes the drum text from bar `bar` on. Each hit lasts `hit_steps`
// sixteenths; `kit` maps characters to units.
int drums(Score &sc, const std::map<char, int> &kit, int bar, const std::string &text,
          int velocity = 100, int hit_steps = 2);

// Semitones from A4 for a note name such as "C#5"; throws when malformed.
int semitones_from_a4(const std::string &name);

}  // namespace demo

#endif
