// One loaded tune rendered to one sound file, as the command line asks
// (rate, loops, fade); a file that fails half-way is removed.
#ifndef PTRENDER_RENDER_FILE_H
#define PTRENDER_RENDER_FILE_H

#include <string>

#include "brindlewick.h"
#include "render_args.h"

// Returns "" or what went wrong. `out_path` "-" is a WAV on standard output.
std::string render_file(bw_tune *tune, const RenderArgs &args, const std::string &out_path,
                        SoundFormat format);

#endif
