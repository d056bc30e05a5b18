// The file code a tune starts with, and the block layout it stands for.
// "PTCOLLAGE-071119" (a project, ".ptcop") and "PTTUNE--20071119" (a tune,
// ".pttune") hold the master and event blocks "MasterV5" and "Event V5";
// "PTCOLLAGE-060930", from an older editor, holds "evenMAST" and "evenUNIT"
// instead. "PTTUNE--20060930" is read with the older layout too: no such file
// has been seen, and it is taken to differ from its project as the 071119
// pair do. Any other code of the same two forms is a tune of a version we do
// not read.
#ifndef PXTONE_FILE_CODE_H
#define PXTONE_FILE_CODE_H

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pxtone {

constexpr size_t FILE_CODE_BYTES = 16;

enum class FileLayout { not_a_tune, unsupported, v071119, v060930 };

namespace file_code_detail {

inline bool digits(const uint8_t *p, size_t n) {
    for (size_t i = 0; i < n; i++)
        if (p[i] < '0' || p[i] > '9') return false;
    return true;
}

inline bool is(const uint8_t *p, const char *code) { return std::memcmp(p, code, FILE_CODE_BYTES) == 0; }

}  // namespace file_code_detail

// The layout of the file whose first 16 bytes are at `p`.
inline FileLayout file_layout(const uint8_t *p) {
    using namespace file_code_detail;
    if (is(p, "PTCOLLAGE-071119") || is(p, "PTTUNE--20071119")) return FileLayout::v071119;
    if (is(p, "PTCOLLAGE-060930") || is(p, "PTTUNE--20060930")) return FileLayout::v060930;
    if ((std::memcmp(p, "PTCOLLAGE-", 10) == 0 && digits(p + 10, 6)) ||
        (std::memcmp(p, "PTTUNE--", 8) == 0 && digits(p + 8, 8)))
        return FileLayout::unsupported;
    return FileLayout::not_a_tune;
}

// True when the file code is one whose layout is read.
inline bool is_tune_code(const uint8_t *p) {
    const FileLayout l = file_layout(p);
    return l == FileLayout::v071119 || l == FileLayout::v060930;
}

}  // namespace pxtone

#endif
