// The command line of ptrender, read into a record. Every bad argument
// gives a message saying which and why; nothing is opened or checked on
// disk here.
#ifndef PTRENDER_RENDER_ARGS_H
#define PTRENDER_RENDER_ARGS_H

#include <string>
#include <vector>

#include "sound_out.h"

constexpr int MIN_RATE = 8000;
constexpr int MAX_RATE = 192000;
constexpr int MAX_LOOPS = 10000;
constexpr double MAX_FADE_SECONDS = 3600.0;

struct RenderArgs {
    std::string tune_path;
    std::string out_path;  // "-": a WAV on standard output
    // -o DIR: every tune given, each to DIR/NAME.EXT in `format`.
    std::string out_dir;
    std::vector<std::string> tunes;
    bool format_given = false;  // --format, for -o
    SoundFormat format = SoundFormat::wav;
    int rate = 44100;
    int loops = 1;
    double fade_seconds = 0.0;  // 0: no fade, the echoes ring out instead
    bool info = false;          // print what the tune holds instead of rendering
    bool help = false;
};

// Fills `args` from argv[1..argc-1]. Returns "" when they make sense, else
// the message for the user (without the program's name).
std::string parse_render_args(int argc, const char *const *argv, RenderArgs &args);

// The --help text.
extern const char RENDER_USAGE[];

#endif
