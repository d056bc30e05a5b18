// Tune files by their paths. Paths are bytes on Linux; on Windows they are
// UTF-8 (so any name a folder holds can be given), else read in the
// system's code page, and "\" separates their parts as "/" does.
#ifndef PXTONE_OPEN_FILE_H
#define PXTONE_OPEN_FILE_H

#include <cstdio>
#include <string>

namespace pxtone {

// The file opened for reading, or null when it cannot be.
std::FILE *open_for_reading(const std::string &path);

// Where the path's last part (the file's name) starts.
size_t last_part_start(const std::string &path);

}  // namespace pxtone

#endif
