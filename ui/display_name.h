/* display_name.h - how a tune's file name is shown in the list.
 *
 * shorten_for_list(text) edits a NUL-terminated name in place: the text from
 * its first "." on is dropped when that text orders at or after ".pt"
 * (byte-wise, so "song.ptcop" shows "song" but "a.b.pttune" stays whole);
 * a result longer than 23 bytes becomes its first 20 bytes and "...".
 * text must have room for at least 24 bytes.
 */
#ifndef UI_DISPLAY_NAME_H
#define UI_DISPLAY_NAME_H

constexpr int SHOWN_NAME_MAX = 23;
constexpr int SHOWN_NAME_KEPT = 20;

void shorten_for_list(char *text);

#endif
