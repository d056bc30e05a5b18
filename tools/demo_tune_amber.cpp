// "Amber Lanterns": a bright pop tune in F major at 100 bpm. Flute lead with
// a dotted-eighth echo, a swelling pad, round bass, bell arpeggios in the
// second half, and a light kit. 19 bars, about 46 s.
#include "demo_score.h"
#include "demo_tunes.h"
#include "demo_voices.h"

namespace demo {

tune_builder::Song amber_lanterns() {
    tune_builder::Song s;
    s.tempo = 100;
    s.beat_num = 4;
    s.name = "Amber Lanterns";
    s.comment = "Brindlewick demo tune, made by tools/make_demo_tunes.";
    s.voices = {flute_voice(), warm_pad_voice(), round_bass_voice(), bell_voice(),
                kick_voice(),  snare_voice(),    hat_voice(),        open_hat_voice()};
    s.delays = {{0, 1, 22.0f, 4.0f / 3.0f}};  // an echo every 3/4 beat on group 1
    Score sc{s, s.beat_clock / 4, 16, 84};
    int lead = add_unit(sc, "lead", 0, 100, 64, 1);
    int pad1 = add_unit(sc, "pad 1", 1, 80, 44), pad2 = add_unit(sc, "pad 2", 1, 80, 64),
        pad3 = add_unit(sc, "pad 3", 1, 80, 84);
    int bass = add_unit(sc, "bass", 2, 66);
    int bell = add_unit(sc, "bell", 3, 60, 84, 1);
    int kick = add_unit(sc, "kick", 4, 100), snare = add_unit(sc, "snare", 5, 96, 56);
    int hat = add_unit(sc, "hat", 6, 100, 80), open_hat = add_unit(sc, "open hat", 7, 90, 80);
    std::map<char, int> kit = {{'k', kick}, {'s', snare}, {'h', hat}, {'o', open_hat}};

    Track pad{{pad1, pad2, pad3}, 72, 98};
    play(sc, pad, 0,
         "F3+A3+C4:16 | E3+G3+C4:16 |"
         "(F3+A3+C4:16 | F3+A3+D4:16 | F3+Bb3+D4:16 | E3+G3+C4:16 |"
         " F3+A3+C4:16 | F3+A3+D4:16 | F3+Bb3+D4:8 E3+G3+C4:8 | F3+A3+C4:16 |"
         " F3+Bb3+D4:16 | G3+C4+E4:16 | E3+A3+C4:8 F3+A3+D4:8 | G3+Bb3+D4:8 E3+G3+C4:8 |"
         " F3+A3+C4:16 | F3+A3+D4:16 | F3+Bb3+D4:8 E3+G3+C4:8 | F3+A3+C4:16 |)"
         " F3+A3+C4:16 |");
    Track bass_line{{bass}, 100, 85};
    play(sc, bass_line, 0,
         "F2:6 F2:2 C3:4 F2:4 | C2:6 C2:2 G2:4 C2:4 |"
         "F2:6 F2:2 C3:4 F2:4 | D2:6 D2:2 A2:4 D2:4 | Bb1:6 Bb1:2 F2:4 Bb1:4 | C2:6 C2:2 G2:4 C2:4 |"
         "F2:6 F2:2 C3:4 F2:4 | D2:6 D2:2 A2:4 D2:4 | Bb1:4 F2:4 C2:4 G2:4 | F2:6 F2:2 C3:4 F2:4 |"
         "Bb1:6 Bb1:2 F2:4 Bb1:4 | C2:6 C2:2 G2:4 C2:4 | A1:4 E2:4 D2:4 A2:4 | G1:4 D2:4 C2:4 G2:4 |"
         "F2:6 F2:2 C3:4 F2:4 | D2:6 D2:2 A2:4 D2:4 | Bb1:4 F2:4 C2:4 G2:4 | F2:6 F2:2 C3:4 C2:4 |"
         "F2:16 |");
    Track melody{{lead}, 100, 92};
    play(sc, melody, 2,
         "A4:4 C5:4 F5:6 E5:2 | D5:4 C5:4 A4:8 | Bb4:4 D5:4 F5:4 D5:4 | C5:12 r:4 |"
         "A4:4 C5:4 F5:6 G5:2 | A5:4 G5:4 F5:4 D5:4 | D5:4 C5:4 Bb4:4 G4:4 | F4:12 r:4 |"
         "F5:6 D5:2 Bb4:4 D5:4 | E5:6 C5:2 G4:4 C5:4 | C5:4 E5:4 D5:4 F5:4 | D5:4 Bb4:4 C5:8 |"
         "A4:4 C5:4 F5:6 G5:2 | A5:4 >Bb5:4 A5:4 F5:4 | D5:4 F5:4 E5:4 G5:4 | >F5:16 |");
    Track arpeggio{{bell}, 64, 95};
    play(sc, arpeggio, 6,
         "F5:2 A5 C6 A5 F5 A5 C6 A5 | D5 F5 A5 F5 D5 F5 A5 F5 |"
         "D5 F5 Bb5 F5 E5 G5 C6 G5 | F5 A5 C6 F6 C6 A5 F5 C5 |");
    play(sc, arpeggio, 14,
         "F5:2 A5 C6 A5 F5 A5 C6 A5 | D5 F5 A5 F5 D5 F5 A5 F5 |"
         "D5 F5 Bb5 F5 E5 G5 C6 G5 | F5 A5 C6 F6 C6 A5 F5 C5 | F6:16 |");

    drums(sc, kit, 0, "k.......k....... | k.......k...s.s. |", 90);
    drums(sc, kit, 0, "(h.h.h.h.h.h.h.h.)*2", 70);
    drums(sc, kit, 2, "(k.....k.k...s... k...s.k.k...s... k.....k.k...s... k...s.k.k...S.s.)*2", 100);
    drums(sc, kit, 2, "(h.h.h.h.h.h.h.h.)*7 h.h.h.h.h.h.o...", 72);
    drums(sc, kit, 10, "(k.......k...s... k.......k...s...)*2", 90);
    drums(sc, kit, 10, "(h.h.h.h.h.h.h.o.)*4", 66);
    drums(sc, kit, 14, "k.....k.k...s... k...s.k.k...s... k.....k.k...s... k...s.k.s.s.S.S. | k...............", 100);
    drums(sc, kit, 14, "(h.h.h.h.h.h.h.h.)*4 o...............", 72);
    s.last_clock = 19 * 16 * sc.step;
    return s;
}

}  // namespace demo
