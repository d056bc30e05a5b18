// The library's header, its calls given default visibility: the engine is
// built with hidden symbols, so that bw_* are all the shared library exports.
#ifndef PXTONE_EXPORTED_H
#define PXTONE_EXPORTED_H

#pragma GCC visibility push(default)
#include "brindlewick.h"
#pragma GCC visibility pop

#endif
