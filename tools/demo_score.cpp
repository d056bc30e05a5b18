#include "demo_score.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace demo {

using tune_builder::add_event;

int add_unit(Score &sc, const std::string &name, int voice, int volume, int pan, int group) {
    int u = int(sc.song.units.size());
    sc.song.units.push_back(name);
    add_event(sc.song, 0, u, tune_builder::EV_VOICE_NO, voice);
    add_event(sc.song, 0, u, tune_builder::EV_VOLUME, volume * sc.mix / 100);
    if (pan != 64) add_event(sc.song, 0, u, tune_builder::EV_PAN_VOLUME, pan);
    if (group != 0) add_event(sc.song, 0, u, tune_builder::EV_GROUP_NO, group);
    return u;
}

static void fail(const std::string &text, size_t at, const std::string &why) {
    throw std::runtime_error("score: " + why + " at " + std::to_string(at) + " in \"" +
                             text.substr(0, 40) + "...\"");
}

int semitones_from_a4(const std::string &name) {
    static const int LETTER[7] = {0, 2, -9, -7, -5, -4, -2};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G')
        throw std::runtime_error("score: bad note " + name);
    int s = LETTER[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#') s++, i++;
    else if (name[i] == 'b') s--, i++;
    if (i + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[i])))
        throw std::runtime_error("score: bad note " + name);
    return s + 12 * (name[i] - '4');
}

// Expands "( ... )*N" groups, keeping everything else as it is.
static std::string expand(const std::string &text, size_t &at, int depth) {
    std::string out;
    while (at < text.size()) {
        char c = text[at];
        if (c == '(') {
            if (depth > 4) fail(text, at, "groups nested too deep");
            at++;
            std::string inner = expand(text, at, depth + 1);
            if (at >= text.size() || text[at] != ')') fail(text, at, "unclosed group");
            at++;
            int times = 1;
            if (at + 1 < text.size() && text[at] == '*' && std::isdigit((unsigned char)text[at + 1])) {
                times = 0;
                for (at++; at < text.size() && std::isdigit((unsigned char)text[at]); at++)
                    times = times * 10 + (text[at] - '0');
            }
            for (int i = 0; i < times; i++) out += " " + inner + " ";
        } else if (c == ')') {
            if (depth == 0) fail(text, at, "unmatched )");
            return out;
        } else {
            out += c;
            at++;
        }
    }
    return out;
}

static std::string expand(const std::string &text) {
    size_t at = 0;
    return expand(text, at, 0);
}

static void check_bar(const Score &sc, int step, const std::string &text, size_t at) {
    if (step % sc.bar_steps != 0) fail(text, at, "bar line inside a bar");
}

int play(Score &sc, const Track &track, int bar, const std::string &text) {
    const std::string flat = expand(text);
    int step = bar * sc.bar_steps, len = 4;
    size_t at = 0;
    while (at < flat.size()) {
        if (std::isspace((unsigned char)flat[at])) {
            at++;
            continue;
        }
        size_t end = at + 1;  // a bar line is a token even when text touches it
        if (flat[at] != '|')
            while (end < flat.size() && !std::isspace((unsigned char)flat[end]) && flat[end] != '|')
                end++;
        std::string tok = flat.substr(at, end - at);
        if (tok == "|") {
            check_bar(sc, step, text, at);
            at = end;
            continue;
        }
        int velocity = track.velocity;
        if (tok[0] == '>') {
            velocity = std::min(127, velocity + 20);
            tok.erase(0, 1);
        }
        size_t colon = tok.find(':');
        if (colon != std::string::npos) {
            len = std::atoi(tok.c_str() + colon + 1);
            if (len <= 0) fail(text, at, "bad length");
            tok.erase(colon);
        }
        if (tok != "r") {
            size_t k = 0, part = 0;
            while (part <= tok.size()) {
                size_t plus = tok.find('+', part);
                std::string name = tok.substr(part, plus == std::string::npos ? std::string::npos : plus - part);
                if (k >= track.units.size()) fail(text, at, "more chord notes than units");
                int ticks = len * sc.step * track.gate / 100;
                tune_builder::add_note(sc.song, track.units[k], step * sc.step, ticks,
                                       tune_builder::key_of(semitones_from_a4(name)), velocity);
                k++;
                if (plus == std::string::npos) break;
                part = plus + 1;
            }
        }
        step += len;
        at = end;
    }
    return step;
}

int drums(Score &sc, const std::map<char, int> &kit, int bar, const std::string &text,
          int velocity, int hit_steps) {
    const std::string flat = expand(text);
    int step = bar * sc.bar_steps;
    for (size_t at = 0; at < flat.size(); at++) {
        char c = flat[at];
        if (std::isspace((unsigned char)c)) continue;
        if (c == '|') {
            check_bar(sc, step, text, at);
            continue;
        }
        if (c != '.') {
            // An upper-case letter is its drum accented.
            bool accent = std::isupper((unsigned char)c) && !kit.count(c);
            auto it = kit.find(accent ? char(std::tolower((unsigned char)c)) : c);
            if (it == kit.end()) fail(text, at, std::string("no drum for '") + c + "'");
            tune_builder::add_note(sc.song, it->second, step * sc.step, hit_steps * sc.step, -1,
                                   accent ? std::min(127, velocity + 24) : velocity);
        }
        step++;
    }
    return step;
}

}  // namespace demo
