// "Copper Kettle Reel": a quick reel in D major at 152 bpm, saved as a
// .pttune (beat clock 48). Chip-like square lead in running eighths, bouncing
// octave bass, reed chops off the beat in the B part, a busy kit. 20 bars,
// about 32 s.
#include "demo_score.h"
#include "demo_tunes.h"
#include "demo_voices.h"

namespace demo {

tune_builder::Song copper_kettle_reel() {
    tune_builder::Song s;
    s.pttune = true;
    s.beat_clock = 48;
    s.tempo = 152;
    s.beat_num = 4;
    s.voices = {square_lead_voice(), round_bass_voice(), reed_voice(), kick_voice(),
                snare_voice(),       hat_voice(),        open_hat_voice()};
    Score sc{s, s.beat_clock / 4, 16};
    int lead = add_unit(sc, "lead", 0, 100);
    int bass = add_unit(sc, "bass", 1, 66);
    int reed1 = add_unit(sc, "chop 1", 2, 56, 48), reed2 = add_unit(sc, "chop 2", 2, 56, 64),
        reed3 = add_unit(sc, "chop 3", 2, 56, 80);
    int kick = add_unit(sc, "kick", 3, 110), snare = add_unit(sc, "snare", 4, 104, 60);
    int hat = add_unit(sc, "hat", 5, 96, 76), open_hat = add_unit(sc, "open hat", 6, 90, 76);
    std::map<char, int> kit = {{'k', kick}, {'s', snare}, {'h', hat}, {'o', open_hat}};

    Track melody{{lead}, 100, 80};
    play(sc, melody, 2,
         "D5:2 F#5 A5 F#5 D5 F#5 A5 F#5 | G5 B5 D6 B5 G5 B5 D6 B5 |"
         "A5 F#5 D5 F#5 A5 B5 A5 F#5 | E5 F#5 G5 A5 B5 A5 G5 E5 |"
         "D5 F#5 A5 F#5 D5 F#5 A5 F#5 | G5 B5 D6 B5 G5 F#5 E5 G5 |"
         "F#5 A5 D6 A5 E5 G5 C#6 E5 | D5:4 A4:4 D5:8 |"
         "B5:2 A5 F#5 A5 B5 D6 B5 A5 | G5 B5 D6 B5 G5 A5 B5 G5 |"
         "F#5 A5 D6 A5 F#5 E5 D5 F#5 | E5 A5 C#6 A5 E5 F#5 G5 E5 |"
         "B5 A5 F#5 A5 B5 D6 B5 A5 | G5 B5 D6 B5 G5 A5 B5 D6 |"
         "C#6 B5 A5 G5 F#5 E5 C#5 E5 | D5:4 F#5:4 D5:8 |"
         "D5:2 F#5 A5 D6 r:8 | >D6:4 r:12 |");

    Track bass_line{{bass}, 96, 80};
    play(sc, bass_line, 0,
         "(D2:2 D3)*4 | (D2:2 D3)*3 A1 A2 |"
         "(D2 D3)*4 | (G1 G2)*4 | (D2 D3)*4 | (A1 A2)*4 |"
         "(D2 D3)*4 | (G1 G2)*4 | (D2 D3)*2 (A1 A2)*2 | (D2 D3)*4 |"
         "(B1 B2)*4 | (G1 G2)*4 | (D2 D3)*4 | (A1 A2)*4 |"
         "(B1 B2)*4 | (G1 G2)*4 | (A1 A2)*4 | (D2 D3)*4 |"
         "D2:2 D3 D2 D3 r:8 | D2:4 r:12 |");

    Track chop{{reed1, reed2, reed3}, 64, 60};
    play(sc, chop, 10,
         "(r:2 F#4+B4+D5:2)*4 | (r:2 G4+B4+D5:2)*4 | (r:2 F#4+A4+D5:2)*4 | (r:2 E4+A4+C#5:2)*4 |"
         "(r:2 F#4+B4+D5:2)*4 | (r:2 G4+B4+D5:2)*4 | (r:2 E4+A4+C#5:2)*4 | (r:2 F#4+A4+D5:2)*4 |");

    drums(sc, kit, 0, "k...k...k...k... | k...k...k.s.s.S. |", 100);
    drums(sc, kit, 2, "(k...s...k.k.s... k...s...k.k.s...)*3 k...s...k.k.s... k...s.k.s.S.S.S.", 100);
    drums(sc, kit, 10, "(k...s...k.k.s... k...s...k.k.s...)*3 k...s...k.k.s... k.s.s.s.S.S.S.S.", 104);
    drums(sc, kit, 18, "k...s...k....... | O...............", 108);
    drums(sc, kit, 0, "(h.h.h.h.h.h.h.h.)*2", 60);
    drums(sc, kit, 2, "(H.h.H.h.H.h.H.h.)*7 H.h.H.h.H.h.o...", 60);
    drums(sc, kit, 10, "(H.h.H.h.H.h.H.o.)*8", 60);
    s.last_clock = 20 * 16 * sc.step;
    return s;
}

}  // namespace demo
