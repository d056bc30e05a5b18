/* error_line.h - the line of text at the foot of the window.
 *
 * error_line_text() is what the line shows now: the engine's last error
 * text; but after a folder scan that left a name out for being too long,
 * "name too long: " and the start of that name, once for that scan, until
 * the engine has something new to say (its text changes, or a load fails
 * with the same text as before). Either way as text the font draws
 * (name_text.h) and cut to the line: an engine text to ERROR_LINE_CHARS
 * characters (the last one half cut by the window's edge, as the engine's
 * longest texts are), the name note to TOO_LONG_LINE_CHARS, which fit whole.
 * Worker thread (or start-up before it). The text stays valid until the
 * next call.
 */
#ifndef UI_ERROR_LINE_H
#define UI_ERROR_LINE_H

constexpr int ERROR_LINE_CHARS = 36;
constexpr int TOO_LONG_LINE_CHARS = 35;

const char *error_line_text();

#endif
