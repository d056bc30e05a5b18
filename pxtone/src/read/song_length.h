// The song's length: the end of its last note rounded up to a whole
// measure, or its "last" position when set.
#ifndef PXTONE_SONG_LENGTH_H
#define PXTONE_SONG_LENGTH_H

#include "tune_model.h"

namespace pxtone {

// Sets notes_end_clock, end_clock and repeat_clock of a tune whose master
// and events are read. False when the song would be longer than the cap.
bool measure_song(Tune &tune);

// Ticks in one measure.
inline int64_t measure_ticks(const Master &m) { return int64_t(m.beat_num) * m.beat_clock; }

}  // namespace pxtone

#endif
