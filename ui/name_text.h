/* name_text.h - the text drawn for the bytes of a file name.
 *
 * File names are bytes in no known encoding. A name that is valid UTF-8 is
 * drawn as those characters; any other name is read as Latin-1, one
 * character per byte, as names written on older systems mostly are (drawn as
 * UTF-8, each broken sequence would come out as "^"). Characters the font
 * lacks are still drawn as "^" by Allegro.
 *
 * name_text(name, length, max_chars, mark, out, out_size) writes the text for
 * name[0 .. length - 1] into out as NUL-terminated UTF-8: all of it when it
 * has at most max_chars characters, else its first max_chars - strlen(mark)
 * characters and then mark (ASCII, shorter than max_chars). It writes at most
 * out_size bytes (out_size >= 1) and never half a character, so a text that
 * does not fit out ends early at a whole character. Returns the number of
 * characters written. Any thread; no state.
 */
#ifndef UI_NAME_TEXT_H
#define UI_NAME_TEXT_H

#include <cstddef>

/* Bytes out needs for any text of n characters, with its NUL. */
constexpr size_t text_bytes_for(int n)
{
    return static_cast<size_t>(n) * 4 + 1;
}

int name_text(const char *name, size_t length, int max_chars, const char *mark, char *out,
              size_t out_size);

#endif
