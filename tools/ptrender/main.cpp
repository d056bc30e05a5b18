// ptrender: renders a tune to a sound file through the same renderer that
// plays tunes in the jukebox, or with --info prints what the tune holds.
// See render_args.cpp for the command line and docs/man/ptrender.1 for more.
#include <cstdio>
#include <string>

#include "render_args.h"
#include "render_passes.h"
#include "sound_out.h"
#include "tune.h"
#include "tune_listing.h"

namespace {

int fail(const std::string &what) {
    std::fprintf(stderr, "ptrender: %s\n", what.c_str());
    return 1;
}

int render(const RenderArgs &args, std::shared_ptr<const pxtone::Tune> tune) {
    SoundOut out;
    if (!out.open(args.out_path, args.format, args.rate)) return fail(out.error());
    RenderPasses passes;
    passes.loops = args.loops;
    passes.fade_seconds = args.fade_seconds;
    std::string wrong = render_passes(tune, args.rate, passes, out);
    if (wrong.empty() && !out.close()) wrong = out.error();
    if (wrong.empty()) return 0;
    if (args.out_path != "-") std::remove(args.out_path.c_str());  // no half-written file left
    return fail(wrong);
}

}  // namespace

int main(int argc, char **argv) {
    RenderArgs args;
    const std::string wrong = parse_render_args(argc, argv, args);
    if (!wrong.empty()) {
        std::fprintf(stderr, "ptrender: %s\nTry 'ptrender --help'.\n", wrong.c_str());
        return 2;
    }
    if (args.help) {
        std::fputs(RENDER_USAGE, stdout);
        return 0;
    }
    pxtone::LoadResult res = pxtone::load_tune_file(args.tune_path, args.tune_path);
    if (!res.tune) return fail(res.error);
    if (!res.warning.empty()) std::fprintf(stderr, "ptrender: %s\n", res.warning.c_str());
    if (args.info) {
        std::fputs(tune_listing(pxtone::tune_summary(*res.tune)).c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : fail("writing standard output failed");
    }
    return render(args, res.tune);
}
