// The Audacious input plugin: pxtone tunes (".ptcop", ".pttune", or any
// file that starts with their file code) through libbrindlewick, at 44.1 kHz
// in 16-bit stereo, with their title, comment and length, seeking to the
// millisecond, and a setting for how many times the song plays.
#include <libaudcore/audstrings.h>
#include <libaudcore/i18n.h>
#include <libaudcore/interface.h>
#include <libaudcore/plugin.h>
#include <libaudcore/preferences.h>
#include <libaudcore/runtime.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "brindlewick.h"
#include "tune_formats.h"
#include "tune_tags.h"

#define EXPORT __attribute__((visibility("default")))

namespace {

constexpr int RATE = 44100;
constexpr int CHANNELS = 2;
constexpr int CHUNK_FRAMES = 1024;  // 23 ms: how soon a stop, a seek or a new loop count is taken
const char SECTION[] = "brindlewick";
const char LOOPS[] = "loops";

struct TuneFree {
    void operator()(bw_tune *t) const { bw_free(t); }
};
using Tune = std::unique_ptr<bw_tune, TuneFree>;

int loops_setting() { return tune_passes_of_setting(aud_get_int(SECTION, LOOPS)); }

int milliseconds(int64_t frames) { return int(tune_frames_in(frames, RATE, 1000)); }

// The file's bytes, at most TUNE_READ_LIMIT of them.
std::vector<char> read_bytes(VFSFile &file) {
    std::vector<char> bytes;
    constexpr size_t BLOCK = 1 << 16;
    while (bytes.size() < TUNE_READ_LIMIT) {
        const size_t at = bytes.size();
        bytes.resize(std::min<size_t>(at + BLOCK, TUNE_READ_LIMIT));
        const int64_t got = file.fread(bytes.data() + at, 1, int64_t(bytes.size() - at));
        bytes.resize(at + size_t(std::max<int64_t>(got, 0)));
        if (got <= 0) break;
    }
    return bytes;
}

// The tune in `file`, loaded with the loop count set; on failure the
// engine's reason is in `error`, as "damaged tune: NAME".
Tune load(const char *filename, VFSFile &file, String &error) {
    Tune tune(bw_new(RATE, CHANNELS));
    if (!tune) {
        error = String("out of memory");
        return nullptr;
    }
    const std::vector<char> bytes = read_bytes(file);
    if (!bw_load_memory(tune.get(), bytes.data(), bytes.size(), uri_get_display_base(filename))) {
        error = String(bw_error(tune.get()));
        return nullptr;
    }
    bw_set_loops(tune.get(), loops_setting());
    return tune;
}

void set_length(Tuple &tuple, bw_tune *tune) {
    const int64_t frames = bw_output_frames(tune);
    if (frames >= 0)
        tuple.set_int(Tuple::Length, milliseconds(frames));
    else
        tuple.unset(Tuple::Length);
}

void fill_tuple(Tuple &tuple, bw_tune *tune) {
    tune_tags tags;
    if (!tune_tags_read(tune, &tags)) return;
    tuple.set_str(Tuple::Title, tags.title);
    tuple.set_str(Tuple::Comment, tags.comment);
    set_length(tuple, tune);
    tuple.set_format(TUNE_CODEC, CHANNELS, RATE, RATE * CHANNELS * 16 / 1000);
    tuple.set_str(Tuple::Quality, _("16 bit, stereo, 44.1 kHz"));
}

const char *const DEFAULTS[] = {LOOPS, "1", nullptr};

const PreferencesWidget WIDGETS[] = {
    WidgetSpin(N_("Times the song plays:"), WidgetInt(SECTION, LOOPS), {0, 1000000, 1, N_("(0: for ever)")}),
    WidgetLabel(N_("Each time after the first goes on from the song's repeat position.")),
};

const PluginPreferences PREFERENCES = {{WIDGETS}, nullptr, nullptr, nullptr};

}  // namespace

class PxtoneInput : public InputPlugin {
public:
    static constexpr PluginInfo info = {
        N_("pxtone Tunes (Brindlewick)"), nullptr,
        N_("Plays pxtone tunes (.ptcop, .pttune) through the Brindlewick engine."), &PREFERENCES, 0};

    constexpr PxtoneInput()
        : InputPlugin(info, InputInfo().with_exts(TUNE_EXTENSIONS).with_mimes(TUNE_MIME_TYPES)) {}

    bool init() override {
        aud_config_set_defaults(SECTION, DEFAULTS);
        return true;
    }

    bool is_our_file(const char *, VFSFile &file) override {
        char code[BW_PROBE_BYTES];
        const int64_t got = file.fread(code, 1, sizeof code);
        return got > 0 && tune_format_of_bytes(code, size_t(got)) != nullptr;
    }

    bool read_tag(const char *filename, VFSFile &file, Tuple &tuple, Index<char> *) override {
        String error;
        Tune tune = load(filename, file, error);
        if (!tune) {
            AUDERR("%s\n", (const char *)error);
            return false;
        }
        fill_tuple(tuple, tune.get());
        return true;
    }

    bool play(const char *filename, VFSFile &file) override {
        String error;
        Tune tune = load(filename, file, error);
        if (!tune) {  // a file changed since it was read for the playlist
            aud_ui_show_error(str_printf(_("Error playing %s:\n%s"), (const char *)uri_to_display(filename),
                                         (const char *)error));
            return false;
        }
        open_audio(FMT_S16_NE, RATE, CHANNELS);
        int loops = loops_setting();
        int16_t frames[CHUNK_FRAMES * CHANNELS];
        while (!check_stop()) {
            const int seek = check_seek();
            if (seek >= 0) bw_seek(tune.get(), int64_t(seek) * RATE / 1000);
            if (loops != loops_setting()) follow_loops(tune.get(), loops = loops_setting());
            const int n = bw_render(tune.get(), frames, CHUNK_FRAMES);
            if (n <= 0) break;
            write_audio(frames, n * CHANNELS * int(sizeof frames[0]));
        }
        return true;
    }

private:
    // A loop count changed while playing takes effect at once, and the
    // length shown follows it.
    static void follow_loops(bw_tune *tune, int loops) {
        bw_set_loops(tune, loops);
        Tuple tuple = get_playback_tuple();
        set_length(tuple, tune);
        set_playback_tuple(std::move(tuple));
    }
};

EXPORT PxtoneInput aud_plugin_instance;
