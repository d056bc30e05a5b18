#include "read/open_file.h"

namespace pxtone {

std::FILE *open_for_reading(const std::string &path) { return std::fopen(path.c_str(), "rb"); }

size_t last_part_start(const std::string &path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace pxtone
