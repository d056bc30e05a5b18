// ptrender: renders tunes to sound files through the same library that
// plays tunes in the jukebox, or with --info prints what a tune holds.
// See render_args.cpp for the command line and docs/man/ptrender.1 for more.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "brindlewick.h"
#include "file_names.h"
#include "render_args.h"
#include "render_file.h"
#include "render_many.h"
#include "tune_listing.h"

namespace {

int fail(const std::string &what) {
    std::fprintf(stderr, "ptrender: %s\n", what.c_str());
    return 1;
}

struct TuneFree {
    void operator()(bw_tune *t) const { bw_free(t); }
};

int render_one(const RenderArgs &args) {
    // The listing tells lengths in frames of the highest rate.
    const int rate = args.info ? BW_MAX_RATE : args.rate;
    std::unique_ptr<bw_tune, TuneFree> tune(bw_new(rate, 2));
    if (!tune) return fail("out of memory");
    if (!bw_load_file(tune.get(), args.tune_path.c_str())) return fail(bw_error(tune.get()));
    if (*bw_error(tune.get())) std::fprintf(stderr, "ptrender: %s\n", bw_error(tune.get()));
    if (args.info) {
        std::fputs(tune_listing(tune.get(), rate).c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : fail("writing standard output failed");
    }
    const std::string wrong = render_file(tune.get(), args, args.out_path, args.format);
    return wrong.empty() ? 0 : fail(wrong);
}

}  // namespace

int main(int argc, char **argv) {
    const std::vector<std::string> arguments = program_arguments(argc, argv);
    std::vector<const char *> argument_texts;
    for (const std::string &a : arguments) argument_texts.push_back(a.c_str());
    RenderArgs args;
    const std::string wrong =
        parse_render_args(int(argument_texts.size()), argument_texts.data(), args);
    if (!wrong.empty()) {
        std::fprintf(stderr, "ptrender: %s\nTry 'ptrender --help'.\n", wrong.c_str());
        return 2;
    }
    if (args.help) {
        std::fputs(RENDER_USAGE, stdout);
        return 0;
    }
    return args.out_dir.empty() ? render_one(args) : render_many(args);
}
