// "Firefly Lullaby": a slow lullaby in G major at 72 bpm. A bell melody with
// a long echo, a flute answering in the second half, a warm pad, soft bass
// and a shaker. 12 bars and a bar of ring-out, about 43 s.
#include "demo_score.h"
#include "demo_tunes.h"
#include "demo_voices.h"

namespace demo {

tune_builder::Song firefly_lullaby() {
    tune_builder::Song s;
    s.tempo = 72;
    s.beat_num = 4;
    s.name = "Firefly Lullaby";
    s.comment = "Brindlewick demo tune, made by tools/make_demo_tunes.";
    s.voices = {bell_voice(), flute_voice(), warm_pad_voice(), round_bass_voice(), shaker_voice()};
    s.delays = {{0, 1, 30.0f, 2.0f / 3.0f}};  // an echo every beat and a half
    Score sc{s, s.beat_clock / 4, 16};
    int bell = add_unit(sc, "bell", 0, 96, 56, 1);
    int flute = add_unit(sc, "flute", 1, 72, 76, 1);
    int pad1 = add_unit(sc, "pad 1", 2, 84, 40), pad2 = add_unit(sc, "pad 2", 2, 84, 64),
        pad3 = add_unit(sc, "pad 3", 2, 84, 88);
    int bass = add_unit(sc, "bass", 3, 56);
    int shaker = add_unit(sc, "shaker", 4, 80, 90);

    Track pad{{pad1, pad2, pad3}, 64, 99};
    play(sc, pad, 0,
         "G3+B3+D4:16 | G3+B3+E4:16 | G3+C4+E4:16 | F#3+A3+D4:16 |"
         "G3+B3+D4:16 | G3+B3+E4:16 | A3+C4+E4:16 | F#3+A3+D4:16 |"
         "G3+C4+E4:16 | F#3+A3+D4:16 | G3+B3+D4:16 | G3+B3+D4:16 |");
    Track bass_line{{bass}, 80, 95};
    play(sc, bass_line, 0,
         "G2:12 D2:4 | E2:12 B1:4 | C2:12 G1:4 | D2:12 A1:4 |"
         "G2:12 D2:4 | E2:12 B1:4 | A1:12 E2:4 | D2:12 A1:4 |"
         "C2:12 G1:4 | D2:12 A1:4 | G1:16 | G1:16 |");
    Track melody{{bell}, 92, 100};
    play(sc, melody, 0,
         "B5:8 D6:4 B5:4 | G5:8 E5:8 | E5:4 G5:4 C6:8 | A5:12 r:4 |"
         "B5:8 D6:4 G6:4 | E6:8 B5:8 | C6:4 A5:4 E5:4 A5:4 | F#5:12 r:4 |"
         "E5:4 G5:4 C6:4 E6:4 | D6:8 A5:8 | B5:4 A5:4 G5:4 D5:4 | G5:16 |");
    Track answer{{flute}, 80, 96};
    play(sc, answer, 4,
         "D5:16 | E5:8 G5:8 | A5:8 E5:8 | D5:8 C5:4 A4:4 |"
         "G5:16 | F#5:16 | D5:16 | B4:16 |");
    std::map<char, int> kit = {{'s', shaker}};
    drums(sc, kit, 4, "(..s...s...s...S.)*7 ..s.............", 60);
    s.last_clock = 13 * 16 * sc.step;
    return s;
}

}  // namespace demo
