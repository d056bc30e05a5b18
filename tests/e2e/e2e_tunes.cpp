// e2e_tunes: writes one small tune for the end-to-end tests.
//
//   e2e_tunes [--held] [--echo] FILE SECONDS SEMITONE [SEMITONE...]
//
// The tune plays the given notes (semitones from A4, a sine voice) one after
// another, each for an equal share of SECONDS less a short gap (--held: no
// gap, the sound never stops), and is exactly SECONDS long: one measure
// with one beat per note. --echo adds a delay, an echo every second at 80 %
// (a seek then mixes minutes before its target to fill it). FILE ending in ".pttune" gets that format,
// anything else ".ptcop". Exits 0 when written, 2 on bad arguments, 1 when
// the file cannot be written.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tune_builder.h"

using namespace tune_builder;

static bool ends_with(const std::string &s, const std::string &tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

static Song melody(bool pttune, double seconds, const std::vector<int> &semitones, bool held, bool echo)
{
    Song s;
    s.pttune = pttune;
    s.beat_clock = pttune ? 48 : 480;
    s.beat_num = int(semitones.size());
    s.tempo = float(60.0 * double(semitones.size()) / seconds);
    s.last_clock = s.beat_num * s.beat_clock;
    s.voices.push_back(sine_voice("sine", echo ? 24 : 96));
    if (echo) s.delays.push_back(Delay{2, 0, 80.0f, 1.0f});
    s.units.push_back("melody");
    add_event(s, 0, 0, EV_VOICE_NO, 0);
    const int note_length = held ? s.beat_clock : s.beat_clock * 7 / 8;
    for (size_t i = 0; i < semitones.size(); i++)
        add_note(s, 0, int(i) * s.beat_clock, note_length, key_of(semitones[i]));
    return s;
}

int main(int argc, char **argv)
{
    bool held = false, echo = false;
    for (; argc > 1 && argv[1][0] == '-' && argv[1][1] == '-'; argc--, argv++) {
        held = held || std::string(argv[1]) == "--held";
        echo = echo || std::string(argv[1]) == "--echo";
    }
    if (argc < 4) {
        std::fprintf(stderr, "usage: e2e_tunes [--held] [--echo] FILE SECONDS SEMITONE [SEMITONE...]\n");
        return 2;
    }
    const std::string path = argv[1];
    const double seconds = std::atof(argv[2]);
    if (!(seconds > 0.05 && seconds < 3600.0)) {
        std::fprintf(stderr, "e2e_tunes: SECONDS must be between 0.05 and 3600\n");
        return 2;
    }
    std::vector<int> semitones;
    for (int i = 3; i < argc; i++)
        semitones.push_back(std::atoi(argv[i]));
    if (!write_file(melody(ends_with(path, ".pttune"), seconds, semitones, held, echo), path)) {
        std::fprintf(stderr, "e2e_tunes: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
