// bw_probe: a file's format from its file code.
#include <cstring>

#include "api/exported.h"
#include "read/file_code.h"

static_assert(BW_PROBE_BYTES == pxtone::FILE_CODE_BYTES, "a probe reads the file code");

extern "C" int bw_probe(const void *data, size_t size) {
    if (!data || size < BW_PROBE_BYTES) return BW_FORMAT_NONE;
    const uint8_t *code = static_cast<const uint8_t *>(data);
    if (pxtone::file_layout(code) == pxtone::FileLayout::not_a_tune) return BW_FORMAT_NONE;
    return std::memcmp(code, "PTCOLLAGE-", 10) == 0 ? BW_FORMAT_PTCOP : BW_FORMAT_PTTUNE;
}
