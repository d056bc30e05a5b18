#include <windows.h>

#include <vector>

#include "read/open_file.h"

namespace pxtone {

std::FILE *open_for_reading(const std::string &path) {
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, nullptr, 0);
    if (units <= 0) return std::fopen(path.c_str(), "rb");  // not UTF-8: the code page's
    std::vector<wchar_t> wide(static_cast<size_t>(units));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, wide.data(), units);
    return _wfopen(wide.data(), L"rb");
}

size_t last_part_start(const std::string &path) {
    const size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? 0 : separator + 1;
}

}  // namespace pxtone
