// Readers of the song's own blocks: timing, events, effects, names.
// Each returns false when the block is damaged.
#ifndef PXTONE_SONG_BLOCKS_H
#define PXTONE_SONG_BLOCKS_H

#include "read/byte_reader.h"
#include "tune_model.h"

namespace pxtone {

// "MasterV5": beat clock, beats per measure, tempo, repeat and last.
bool read_master_block(ByteReader body, Master &master);

// Whether a master's fields are ones a tune can be played with (either
// layout's master block is refused otherwise).
bool master_in_range(const Master &master);

// "evenMAST" (the older layout): u32 3 (not used), u32 event count, then per
// event three varints: kind, clock delta, value. Kinds 7 beat clock, 8 tempo
// (the bits of a float), 9 beats per measure; 10 repeat and 11 last are
// taken at their event's clock. A kind that is absent keeps its default.
bool read_master_events_block(ByteReader body, Master &master);

// "evenUNIT" (the older layout): the events of one unit and one kind: u16
// unit, u16 kind, u32 2 (not used), u32 event count, then per event two
// varints: clock delta, value. Appended to `events` (at most MAX_EVENTS in
// all); call order_unit_events once every block is read.
bool read_unit_events_block(ByteReader body, std::vector<Event> &events);

// Sorts events read kind by kind into the order the player needs: by clock,
// and within one unit and clock a note's settings before its ON.
void order_unit_events(std::vector<Event> &events);

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
