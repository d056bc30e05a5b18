#include "file_names.h"

std::vector<std::string> program_arguments(int argc, char **argv) {
    return std::vector<std::string>(argv, argv + argc);
}

std::string file_name_key(const std::string &name) { return name; }
