// ptrender --info: what a loaded tune holds, one "field: value" line each
// (a comment or a list of effects goes on over indented lines).
#ifndef PTRENDER_TUNE_LISTING_H
#define PTRENDER_TUNE_LISTING_H

#include <string>

#include "tune.h"

std::string tune_listing(const pxtone::TuneSummary &summary);

#endif
