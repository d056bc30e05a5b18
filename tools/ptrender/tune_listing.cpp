#include "tune_listing.h"

#include <cstdio>
#include <vector>

#include "api/tune_text.h"

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

std::string voice_kinds(const pxtone::TuneSummary &s) {
    const struct {
        int count;
        const char *name;
    } kinds[] = {{s.ptvoice, "ptvoice"}, {s.ptnoise, "ptnoise"}, {s.pcm, "PCM"}, {s.ogg, "Ogg Vorbis"}};
    std::string text = std::to_string(s.ptvoice + s.ptnoise + s.pcm + s.ogg);
    std::string sep = ": ";
    for (const auto &k : kinds) {
        if (k.count == 0) continue;
        text += sep + std::to_string(k.count) + " " + k.name;
        sep = ", ";
    }
    if (s.silent_voices > 0) text += " (" + std::to_string(s.silent_voices) + " unreadable, silent)";
    return text;
}

std::string lines(const std::vector<std::string> &items) {
    if (items.empty()) return "none";
    std::string text;
    for (const std::string &item : items) text += (text.empty() ? "" : "\n") + item;
    return text;
}

}  // namespace

std::string tune_listing(const pxtone::TuneSummary &s) {
    const pxtone::TuneInfo &t = s.timing;
    std::string out;
    add_field(out, "name", s.title.empty() ? "(none)" : pxtone::tune_text(s.title));
    add_field(out, "comment", s.comment.empty() ? "(none)" : pxtone::tune_text(s.comment));
    add_field(out, "tempo", format("%g beats a minute", t.beat_tempo));
    add_field(out, "beats", std::to_string(t.beat_num) + " a measure, " + std::to_string(t.beat_clock) +
                                " ticks each");
    add_field(out, "measures", std::to_string(t.meas_num));
    add_field(out, "length", format("%.3f s once through", s.seconds));
    add_field(out, "repeat", format("%.3f s a time, from %.3f s", s.repeat_seconds, s.repeat_start));
    add_field(out, "units", std::to_string(s.units));
    add_field(out, "voices", voice_kinds(s));
    add_field(out, "effects", lines(s.effects));
    return out;
}
