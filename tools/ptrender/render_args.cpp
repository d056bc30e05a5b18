#include "render_args.h"

#include <charconv>
#include <cmath>
#include <vector>

const char RENDER_USAGE[] =
    "usage: ptrender [options] TUNE OUT\n"
    "       ptrender [options] -o DIR TUNE...\n"
    "       ptrender --info TUNE\n"
    "Renders a .ptcop or .pttune tune to a sound file: OUT.wav (16-bit), OUT.flac,\n"
    "OUT.ogg (Ogg Vorbis), or - for a WAV on standard output. Stereo.\n"
    "With -o, renders every TUNE to DIR/NAME.wav (or the --format), NAME being\n"
    "the tune's file name without its extension; a name met again in the same\n"
    "run becomes NAME-2, NAME-3 and so on. A tune that fails is reported and the\n"
    "others go on.\n"
    "\n"
    "  -o DIR         render each TUNE into the folder DIR (made if missing)\n"
    "  --format F     with -o: wav (default), flac or ogg\n"
    "  --rate N       frames per second, 8000..192000 (default 44100)\n"
    "  --loops N      play the song N times, each repeat from its repeat\n"
    "                 position (default 1)\n"
    "  --fade SECONDS fade out over the last SECONDS of the last time through\n"
    "                 (default: no fade; the echoes of a delay ring out)\n"
    "  --info         print the tune's name, comment, timing, length, units,\n"
    "                 voices and effects instead of rendering\n"
    "  -h, --help     this text\n"
    "\n"
    "Exit status: 0 done, 1 a tune or an output failed, 2 bad arguments.\n";

namespace {

bool whole_number(const std::string &text, int lo, int hi, int &out) {
    int v = 0;
    const char *end = text.data() + text.size();
    auto r = std::from_chars(text.data(), end, v);
    if (r.ec != std::errc() || r.ptr != end || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool seconds(const std::string &text, double hi, double &out) {
    double v = 0.0;
    const char *end = text.data() + text.size();
    auto r = std::from_chars(text.data(), end, v);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v) || v < 0.0 || v > hi) return false;
    out = v;
    return true;
}

// Reads the value of option `name` into `args`; "" or what is wrong.
std::string take_value(const std::string &name, const std::string &value, RenderArgs &args) {
    if (name == "--rate") {
        if (!whole_number(value, MIN_RATE, MAX_RATE, args.rate))
            return "--rate needs a whole number from 8000 to 192000, not \"" + value + "\"";
    } else if (name == "--loops") {
        if (!whole_number(value, 1, MAX_LOOPS, args.loops))
            return "--loops needs a whole number from 1 to 10000, not \"" + value + "\"";
    } else if (name == "--fade") {
        if (!seconds(value, MAX_FADE_SECONDS, args.fade_seconds))
            return "--fade needs seconds from 0 to 3600, not \"" + value + "\"";
    } else if (name == "--format") {
        if (!format_named(value, args.format))
            return "--format needs wav, flac or ogg, not \"" + value + "\"";
        args.format_given = true;
    } else {
        if (value.empty()) return "-o needs a folder";
        args.out_dir = value;
    }
    return "";
}

bool takes_value(const std::string &name) {
    return name == "--rate" || name == "--loops" || name == "--fade" || name == "--format" || name == "-o";
}

// -o DIR TUNE...
std::string check_tunes(const std::vector<std::string> &files, RenderArgs &args) {
    if (args.info) return "--info does not go with -o";
    if (files.empty()) return "give the tunes to render into " + args.out_dir;
    args.tunes = files;
    return "";
}

std::string check_files(const std::vector<std::string> &files, RenderArgs &args) {
    if (!args.out_dir.empty()) return check_tunes(files, args);
    if (args.format_given) return "--format goes with -o (the output's name tells its format)";
    if (args.info) {
        if (files.size() != 1) return "--info takes one tune and no output file";
        args.tune_path = files[0];
        return "";
    }
    if (files.size() != 2)
        return files.size() < 2 ? "give a tune and an output file" : "too many file names";
    args.tune_path = files[0];
    args.out_path = files[1];
    if (args.out_path == "-") {
        args.format = SoundFormat::wav;
    } else if (!format_for_path(args.out_path, args.format)) {
        return "cannot tell the format of \"" + args.out_path +
               "\": end its name in .wav, .flac or .ogg, or give - for standard output";
    }
    return "";
}

}  // namespace

std::string parse_render_args(int argc, const char *const *argv, RenderArgs &args) {
    std::vector<std::string> files;
    bool options_end = false;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (options_end || a == "-" || a.empty() || a[0] != '-') {
            files.push_back(a);
        } else if (a == "--") {
            options_end = true;
        } else if (a == "-h" || a == "--help") {
            args.help = true;
            return "";
        } else if (a == "--info") {
            args.info = true;
        } else {
            const size_t eq = a.find('=');
            const std::string name = a.substr(0, eq);
            if (!takes_value(name)) return "unknown option \"" + a + "\"";
            std::string value;
            if (eq != std::string::npos) {
                value = a.substr(eq + 1);
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                return name + " needs a value";
            }
            std::string wrong = take_value(name, value, args);
            if (!wrong.empty()) return wrong;
        }
    }
    return check_files(files, args);
}
