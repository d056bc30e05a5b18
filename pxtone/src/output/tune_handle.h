// A library instance owned by the jukebox's engine or its stream.
#ifndef PXTONE_TUNE_HANDLE_H
#define PXTONE_TUNE_HANDLE_H

#include <memory>

#include "brindlewick.h"

namespace pxtone {

struct TuneFree {
    void operator()(bw_tune *t) const { bw_free(t); }
};
using TuneHandle = std::unique_ptr<bw_tune, TuneFree>;

}  // namespace pxtone

#endif
