// Standard output as a WAV's destination, and the temporary file a WAV is
// built in when standard output cannot take it in place. The calls differ
// on Windows (standard_output_windows.cpp), where a spooled WAV is copied
// out in binary mode and the temporary file is made in the user's
// temporary folder.
#ifndef PTRENDER_STANDARD_OUTPUT_H
#define PTRENDER_STANDARD_OUTPUT_H

#include <cstddef>
#include <cstdio>

bool stdout_is_terminal();
// A regular file at its start, not opened for appending: a WAV's header
// can be written again there at the end.
bool stdout_rewritable();
int stdout_descriptor();
// All of data, or false.
bool write_stdout(const char *data, size_t size);
// An unnamed file for reading and writing, gone once closed; null on failure.
std::FILE *temporary_file();

#endif
