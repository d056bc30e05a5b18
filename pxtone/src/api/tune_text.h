// A tune's name and comment as UTF-8 safe to show: the file's bytes are
// whatever its editor wrote (UTF-8, the Japanese Windows code page, a Western
// one, or anything), and must never reach a terminal as control sequences.
#ifndef PXTONE_TUNE_TEXT_H
#define PXTONE_TUNE_TEXT_H

#include <string>

namespace pxtone {

// UTF-8 text with only printable characters and line breaks: valid UTF-8 is
// kept; other text is read as code page 932 (Shift JIS) where it is that,
// else as code page 1252 (Latin), its five unused bytes becoming '?'.
// Control characters become '?', CR LF and a lone CR become LF, a tab a
// space; line breaks at the end are dropped.
std::string tune_text(const std::string &bytes);

}  // namespace pxtone

#endif
