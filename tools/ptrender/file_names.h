// File names on the platform's terms. On Linux names are bytes, as given.
// On Windows they are UTF-8, taken from the wide-character command line so
// that any name reaches the library and libsndfile (both read UTF-8 paths
// there), and two names that differ in letter case name one file.
#ifndef PTRENDER_FILE_NAMES_H
#define PTRENDER_FILE_NAMES_H

#include <string>
#include <vector>

// The command line, argv[0] included.
std::vector<std::string> program_arguments(int argc, char **argv);

// What two names of one file have in common.
std::string file_name_key(const std::string &name);

#endif
