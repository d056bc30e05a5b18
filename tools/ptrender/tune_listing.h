// ptrender --info: what a loaded tune holds, one "field: value" line each
// (a comment or a list of effects goes on over indented lines).
#ifndef PTRENDER_TUNE_LISTING_H
#define PTRENDER_TUNE_LISTING_H

#include <string>

#include "brindlewick.h"

// `tune` is loaded, at `rate`: the lengths are told in its frames (at the
// highest rate to 3 microseconds).
std::string tune_listing(bw_tune *tune, int rate);

#endif
