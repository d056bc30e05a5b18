// Text from a tune file made safe to print: the file's bytes are whatever
// its editor wrote (UTF-8, the Japanese Windows code page, or anything), and
// must never reach a terminal as control sequences.
#ifndef PTRENDER_SHOWN_TEXT_H
#define PTRENDER_SHOWN_TEXT_H

#include <string>

// UTF-8 text with only printable characters and line breaks: valid UTF-8 is
// kept; other text is read as code page 932 (Shift JIS) where it is that,
// else each byte outside ASCII becomes '?'. Control characters become '?',
// CR LF and a lone CR become LF, a tab a space; line breaks at the end are
// dropped.
std::string shown_text(const std::string &bytes);

#endif
