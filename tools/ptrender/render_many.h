// ptrender -o DIR TUNE...: every tune into DIR, one after the other in one
// process. A line per tune on standard error when it is a terminal, a
// report of each tune that fails (the others go on), a summary at the end.
#ifndef PTRENDER_RENDER_MANY_H
#define PTRENDER_RENDER_MANY_H

#include "render_args.h"

// The exit status: 0 when every tune was rendered, else 1.
int render_many(const RenderArgs &args);

#endif
