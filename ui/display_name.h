/* display_name.h - how a tune's file name is shown in the list.
 *
 * list_text(name, out) writes the row text for the file name `name` (any
 * bytes, NUL-terminated) into out, which holds LIST_TEXT_BYTES: the name
 * without the text from its first "." on when that text orders at or after
 * ".pt" byte-wise with letters compared regardless of case (so "song.ptcop"
 * shows "song" and "SONG.PTCOP" "SONG", but "a.b.pttune" stays whole), turned
 * into text the font draws (name_text.h); a result longer than 23 characters
 * becomes its first 20 characters and "...". The name itself is never
 * changed: it is what opens the file.
 */
#ifndef UI_DISPLAY_NAME_H
#define UI_DISPLAY_NAME_H

#include <cstddef>

#include "ui/name_text.h"

constexpr int SHOWN_NAME_MAX = 23;
constexpr size_t LIST_TEXT_BYTES = text_bytes_for(SHOWN_NAME_MAX);

/* Bytes at the start of name that the list shows (the extension cut). */
size_t shown_part(const char *name);

void list_text(const char *name, char *out);

#endif
