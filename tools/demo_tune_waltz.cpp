// "Brindle Waltz": a music-box waltz in A minor at 144 bpm, 3/4. The melody
// is the sampled music-box tine; reed chords on beats two and three, bass on
// one, a shaker. Intro, A, A', B (in C major), A, and a last chord ringing
// out: 36 bars, 45 s.
#include <string>

#include "demo_score.h"
#include "demo_tunes.h"
#include "demo_voices.h"

namespace demo {

namespace {

struct WaltzChord {
    const char *name, *voicing, *bass;
};

const WaltzChord CHORDS[] = {
    {"Am", "A3+C4+E4", "A2"},  {"E", "G#3+B3+E4", "E2"}, {"E7", "G#3+D4+E4", "E2"},
    {"Dm", "A3+D4+F4", "D2"},  {"G", "G3+B3+D4", "G2"},  {"C", "G3+C4+E4", "C3"},
    {"F", "A3+C4+F4", "F2"},   {"A7", "G3+C#4+E4", "A2"},
};

const WaltzChord &chord(const std::string &name) {
    for (const WaltzChord &c : CHORDS)
        if (name == c.name) return c;
    return CHORDS[0];
}

// "oom-pah-pah" for a list of chord names, one bar each.
void accompany(Score &sc, const Track &reed, const Track &bass, int bar,
               const std::vector<std::string> &bars) {
    std::string chords, roots;
    for (const std::string &b : bars) {
        const WaltzChord &c = chord(b);
        chords += std::string("r:4 ") + c.voicing + ":4 " + c.voicing + ":4 | ";
        roots += std::string(c.bass) + ":4 r:8 | ";
    }
    play(sc, reed, bar, chords);
    play(sc, bass, bar, roots);
}

}  // namespace

tune_builder::Song brindle_waltz() {
    tune_builder::Song s;
    s.tempo = 144;
    s.beat_num = 3;
    s.name = "Brindle Waltz";
    s.comment = "Brindlewick demo tune, made by tools/make_demo_tunes.";
    s.voices = {music_box_voice(), reed_voice(), round_bass_voice(), shaker_voice()};
    Score sc{s, s.beat_clock / 4, 12};
    int box = add_unit(sc, "music box", 0, 110);
    int reed1 = add_unit(sc, "reed 1", 1, 64, 50), reed2 = add_unit(sc, "reed 2", 1, 64, 64),
        reed3 = add_unit(sc, "reed 3", 1, 64, 78);
    int bass = add_unit(sc, "bass", 2, 64);
    int shaker = add_unit(sc, "shaker", 3, 110, 84);

    Track reed{{reed1, reed2, reed3}, 70, 70};
    Track bass_line{{bass}, 100, 90};
    const std::vector<std::string> a = {"Am", "E", "Am", "Dm", "G", "C", "Dm", "E"};
    const std::vector<std::string> a2 = {"Am", "E", "Am", "A7", "Dm", "Am", "E7", "Am"};
    const std::vector<std::string> b = {"F", "G", "C", "Am", "Dm", "E", "Am", "E"};
    accompany(sc, reed, bass_line, 0, {"Am", "E"});
    accompany(sc, reed, bass_line, 2, a);
    accompany(sc, reed, bass_line, 10, a2);
    accompany(sc, reed, bass_line, 18, b);
    accompany(sc, reed, bass_line, 26, a);
    play(sc, Track{{reed1, reed2, reed3}, 70, 100}, 34, "A3+C4+E4:12 |");
    play(sc, Track{{bass}, 100, 100}, 34, "A2:12 |");

    const std::string phrase_a =
        "E5:8 A5:4 | G#5:8 B5:4 | A5:4 C6:4 A5:4 | F5:12 |"
        "D5:4 G5:4 B5:4 | C6:8 E5:4 | F5:4 A5:4 D5:4 | E5:12 |";
    Track melody{{box}, 100, 100};
    play(sc, melody, 2, phrase_a);
    play(sc, melody, 10,
         "E5:8 A5:4 | G#5:8 B5:4 | C6:4 B5:4 A5:4 | G5:8 C#5:4 |"
         "D5:4 F5:4 A5:4 | C5:4 E5:4 A5:4 | G#5:4 B5:4 D5:4 | A4:12 |");
    play(sc, melody, 18,
         "A5:6 G5:2 F5:4 | B5:6 A5:2 G5:4 | E5:4 G5:4 C6:4 | C6:8 B5:2 A5:2 |"
         "F5:4 A5:4 D6:4 | B5:8 G#5:4 | A5:4 E5:4 C5:4 | B4:8 E5:4 |");
    play(sc, melody, 26, phrase_a);
    play(sc, melody, 34, ">A5:12 |");

    std::map<char, int> kit = {{'s', shaker}};
    drums(sc, kit, 2, "(S...s...s...)*32", 64);
    s.last_clock = 36 * 12 * sc.step;
    return s;
}

}  // namespace demo
