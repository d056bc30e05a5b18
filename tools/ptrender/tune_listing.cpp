#include "tune_listing.h"

#include <cstdio>

namespace {

constexpr int LABEL_WIDTH = 10;

std::string format(const char *fmt, double a, double b = 0.0) {
    char text[96];
    std::snprintf(text, sizeof text, fmt, a, b);
    return text;
}

// "label:    value", with the value's later lines indented under its first.
void add_field(std::string &out, const std::string &label, const std::string &value) {
    std::string line = label + ":";
    line.resize(LABEL_WIDTH, ' ');
    for (char c : value) {
        line += c;
        if (c == '\n') line.append(LABEL_WIDTH, ' ');
    }
    out += line + "\n";
}

std::string voice_kinds(const bw_info &s) {
    const struct {
        int count;
        const char *name;
    } kinds[] = {{s.ptvoice_voices, "ptvoice"}, {s.ptnoise_voices, "ptnoise"}, {s.pcm_voices, "PCM"},
                 {s.ogg_voices, "Ogg Vorbis"}};
    std::string text = std::to_string(s.ptvoice_voices + s.ptnoise_voices + s.pcm_voices + s.ogg_voices);
    std::string sep = ": ";
    for (const auto &k : kinds) {
        if (k.count == 0) continue;
        text += sep + std::to_string(k.count) + " " + k.name;
        sep = ", ";
    }
    if (s.silent_voices > 0) text += " (" + std::to_string(s.silent_voices) + " unreadable, silent)";
    return text;
}

std::string effect_lines(bw_tune *tune) {
    std::string text;
    for (int i = 0; const char *line = bw_effect_text(tune, i); i++) text += (i ? "\n" : "") + std::string(line);
    return text.empty() ? "none" : text;
}

}  // namespace

std::string tune_listing(bw_tune *tune, int rate) {
    bw_info s;
    if (!bw_get_info(tune, &s, sizeof s)) return "";
    std::string out;
    add_field(out, "name", *s.title ? s.title : "(none)");
    add_field(out, "comment", *s.comment ? s.comment : "(none)");
    add_field(out, "tempo", format("%g beats a minute", s.tempo));
    add_field(out, "beats", std::to_string(s.beats_per_measure) + " a measure, " +
                                std::to_string(s.ticks_per_beat) + " ticks each");
    add_field(out, "measures", std::to_string(s.measures));
    add_field(out, "length", format("%.3f s once through", double(s.frames) / rate));
    add_field(out, "repeat", format("%.3f s a time, from %.3f s", double(s.repeat_frames) / rate,
                                    double(s.repeat_frame) / rate));
    add_field(out, "units", std::to_string(s.units));
    add_field(out, "voices", voice_kinds(s));
    add_field(out, "effects", effect_lines(tune));
    return out;
}
