/* tune_list.h - the fixed table of tune names and the slot to load next.
 *
 * TUNE_CAPACITY slots of NAME_SLOT_BYTES bytes, each a NUL-terminated bare
 * file name (or "" when empty). Slot k holds the tune shown as number k + 1.
 * All calls belong to one thread at a time (start-up, then the worker).
 */
#ifndef TUNES_TUNE_LIST_H
#define TUNES_TUNE_LIST_H

#include <cstdint>

constexpr int TUNE_CAPACITY = 999;
constexpr int NAME_SLOT_BYTES = 64;

/* Empties every slot (all bytes 0). */
void clear_tune_list();

/* Copies name into slot index. Returns false, changing nothing, when index
 * is not a slot of the table or the name does not fit in a slot (63 bytes
 * plus its NUL); a cut name would name another file. */
bool add_tune(const char *name, int32_t index);

/* The text in slot; "" for an index outside the table. The pointer stays
 * valid for the run; its text changes with the next clear or add. */
const char *tune_name(int32_t slot);

/* Selects the slot the next load reads: index itself when it is a slot,
 * slot 0 for an index at or past TUNE_CAPACITY, the last slot for a
 * negative index. */
void select_slot(int32_t index);

/* The slot selected for loading (0 at start). */
int32_t selected_slot();

#endif
