// The two file codes a tune starts with: "PTCOLLAGE-071119" (a project,
// ".ptcop") and "PTTUNE--20071119" (a tune, ".pttune").
#ifndef PXTONE_FILE_CODE_H
#define PXTONE_FILE_CODE_H

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pxtone {

constexpr size_t FILE_CODE_BYTES = 16;

// True when the first 16 bytes at `p` are one of the codes.
inline bool is_tune_code(const uint8_t *p) {
    return std::memcmp(p, "PTCOLLAGE-071119", FILE_CODE_BYTES) == 0 ||
           std::memcmp(p, "PTTUNE--20071119", FILE_CODE_BYTES) == 0;
}

}  // namespace pxtone

#endif
