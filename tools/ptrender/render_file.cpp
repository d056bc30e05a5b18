#include "render_file.h"

#include <filesystem>

#include "render_passes.h"
#include "sound_out.h"

std::string render_file(bw_tune *tune, const RenderArgs &args, const std::string &out_path,
                        SoundFormat format) {
    SoundOut out;
    if (!out.open(out_path, format, args.rate)) return out.error();
    RenderPasses passes;
    passes.loops = args.loops;
    passes.fade_seconds = args.fade_seconds;
    std::string wrong = render_passes(tune, args.rate, passes, out);
    if (wrong.empty() && !out.close()) wrong = out.error();
    if (!wrong.empty() && out_path != "-") {
        std::error_code ignored;  // no half-written file left
        std::filesystem::remove(std::filesystem::u8path(out_path), ignored);
    }
    return wrong;
}
