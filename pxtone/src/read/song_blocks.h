// Readers of the song's own blocks: timing, events, effects, names.
// Each returns false when the block is damaged.
#ifndef PXTONE_SONG_BLOCKS_H
#define PXTONE_SONG_BLOCKS_H

#include "read/byte_reader.h"
#include "tune_model.h"

namespace pxtone {

// "MasterV5": beat clock, beats per measure, tempo, repeat and last.
bool read_master_block(ByteReader body, Master &master);

// "Event V5". Its stated size cannot be trusted (the editor writes what the
// events would take with absolute clocks), so `r` spans from the block's
// body to the end of the file and is left just past the last event, where
// the next block begins.
bool read_event_block(ByteReader &r, std::vector<Event> &events);

// "effeDELA".
bool read_delay_block(ByteReader body, Delay &delay);

// "effeOVER".
bool read_overdrive_block(ByteReader body, Overdrive &overdrive);

}  // namespace pxtone

#endif
