#include "render_many.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "brindlewick.h"
#include "out_names.h"
#include "render_file.h"

namespace {

struct TuneFree {
    void operator()(bw_tune *t) const { bw_free(t); }
};

// Loads and renders one tune; "" or what went wrong.
std::string render_one(bw_tune *tune, const std::string &path, OutNames &names, const RenderArgs &args) {
    if (!bw_load_file(tune, path.c_str())) return bw_error(tune);
    if (*bw_error(tune)) std::fprintf(stderr, "ptrender: %s: %s\n", path.c_str(), bw_error(tune));
    return render_file(tune, args, names.take(path), args.format);
}

}  // namespace

int render_many(const RenderArgs &args) {
    std::error_code ec;
    const std::filesystem::path out_dir = std::filesystem::u8path(args.out_dir);
    std::filesystem::create_directories(out_dir, ec);
    if (!std::filesystem::is_directory(out_dir)) {
        std::fprintf(stderr, "ptrender: cannot make the folder %s: %s\n", args.out_dir.c_str(),
                     ec ? ec.message().c_str() : "a file has that name");
        return 1;
    }
    std::unique_ptr<bw_tune, TuneFree> tune(bw_new(args.rate, 2));
    if (!tune) {
        std::fprintf(stderr, "ptrender: out of memory\n");
        return 1;
    }
    OutNames names(args.out_dir, format_extension(args.format));
    const bool progress = isatty(STDERR_FILENO);
    const size_t count = args.tunes.size();
    size_t failed = 0;
    for (size_t i = 0; i < count; i++) {
        const std::string &path = args.tunes[i];
        if (progress) std::fprintf(stderr, "ptrender: [%zu/%zu] %s\n", i + 1, count, path.c_str());
        const std::string wrong = render_one(tune.get(), path, names, args);
        if (!wrong.empty()) {
            std::fprintf(stderr, "ptrender: %s: %s\n", path.c_str(), wrong.c_str());
            failed++;
        }
    }
    std::fprintf(stderr, "ptrender: %zu of %zu tunes rendered into %s", count - failed, count, args.out_dir.c_str());
    if (failed) std::fprintf(stderr, ", %zu failed", failed);
    std::fprintf(stderr, "\n");
    return failed ? 1 : 0;
}
