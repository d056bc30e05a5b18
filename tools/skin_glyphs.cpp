#include "skin_glyphs.h"

#include <string>

namespace skin {

static const Art RESCAN = {
    ".####.......",
    "#....#......",
    "#.....#####.",
    "#.........#.",
    "#..######.##",
    "#.#.......#.",
    "##.......#..",
    "#........#..",
    "#########...",
};

static const Art SHUFFLE = {
    "..........#..",
    "###......###.",
    "...#....#.#.#",
    "....#..#..#..",
    ".....##......",
    ".....##......",
    "....#..#..#..",
    "...#....#.#.#",
    "###......###.",
    "..........#..",
};

static const Art BACK = {
    "##.....#....#",
    "##....##...##",
    "##...###..###",
    "##..####.####",
    "##.##########",
    "##..####.####",
    "##...###..###",
    "##....##...##",
    "##.....#....#",
};

static const Art STOP = {
    "#########",
    "#########",
    "#########",
    "#########",
    "#########",
    "#########",
    "#########",
    "#########",
    "#########",
};

static const Art PLAY = {
    "##.......",
    "####.....",
    "######...",
    "########.",
    "#########",
    "########.",
    "######...",
    "####.....",
    "##.......",
};

static const Art RESTART = {
    "...#####...",
    "..##...##..",
    ".##.....##.",
    "##.....####",
    "##......##.",
    "##.......#.",
    "##.........",
    ".##.....##.",
    "..##...##..",
    "...#####...",
};

static const Art LOOP = {
    ".........#...",
    "..########...",
    ".##......###.",
    "##.......#.##",
    "##.........##",
    "##.........##",
    "##.#.......##",
    ".###......##.",
    "...########..",
    "...#.........",
};

static const Art EXIT = {
    "##.....##",
    "###...###",
    ".###.###.",
    "..#####..",
    "...###...",
    "..#####..",
    ".###.###.",
    "###...###",
    "##.....##",
};

const Art &button_glyph(int k) {
    static const Art *const glyphs[8] = {&RESCAN, &SHUFFLE, &BACK, &STOP,
                                         &PLAY,   &RESTART, &LOOP, &EXIT};
    return *glyphs[k & 7];
}

const Art &arrow_up_glyph() {
    static const Art a = {
        "...#...",
        "..###..",
        ".#####.",
        "#######",
    };
    return a;
}

const Art &arrow_down_glyph() {
    static const Art a = {
        "#######",
        ".#####.",
        "..###..",
        "...#...",
    };
    return a;
}

const Art &cursor_art() {
    static const Art a = {
        "o...............",
        "oo..............",
        "oho.............",
        "oh#o............",
        "oh##o...........",
        "oh###o..........",
        "oh####o.........",
        "oh#####o........",
        "oh######o.......",
        "oh#######o......",
        "oh###oooooo.....",
        "oh#o#o..........",
        "oho.o#o.........",
        "oo...o#o........",
        "o....o#o........",
        "......oo........",
    };
    return a;
}

const Art &candle_art() {
    static const Art a = {
        "...o...",
        "...o...",
        "..oo...",
        "..ooo..",
        ".ooyoo.",
        ".oyyyo.",
        ".oyyyo.",
        "..oyo..",
        "...w...",
        ".ccccs.",
        ".ccccs.",
        ".ccccs.",
        ".ccccs.",
        ".ccccs.",
        "bbbbbbb",
        ".bbbbb.",
    };
    return a;
}

// The title face: 11 rows, x-height 7, two-pixel stems.
struct Letter {
    char ch;
    Art rows;
};

static const Letter TITLE_LETTERS[] = {
    {'B', {"######.", "##...##", "##...##", "##...##", "######.", "##...##", "##...##", "##...##",
           "##...##", "##...##", "######."}},
    {'r', {"......", "......", "......", "......", "##.###", "####..", "##....", "##....",
           "##....", "##....", "##...."}},
    {'i', {"..", "##", "##", "..", "##", "##", "##", "##", "##", "##", "##"}},
    {'n', {"......", "......", "......", "......", "##.##.", "###.##", "##..##", "##..##",
           "##..##", "##..##", "##..##"}},
    {'d', {"....##", "....##", "....##", "....##", ".#####", "##..##", "##..##", "##..##",
           "##..##", "##..##", ".#####"}},
    {'l', {"##.", "##.", "##.", "##.", "##.", "##.", "##.", "##.", "##.", "##.", ".##"}},
    {'e', {"......", "......", "......", "......", ".####.", "##..##", "##..##", "######",
           "##....", "##....", ".#####"}},
    {'w', {"..........", "..........", "..........", "..........", "##..##..##", "##..##..##",
           "##..##..##", "##..##..##", "##..##..##", "##.####.##", ".###..###."}},
    {'c', {"......", "......", "......", "......", ".####.", "##..##", "##....", "##....",
           "##....", "##..##", ".####."}},
    {'k', {"##....", "##....", "##....", "##....", "##..##", "##.##.", "####..", "###...",
           "####..", "##.##.", "##..##"}},
};

static const Art &title_letter(char ch) {
    for (const Letter &l : TITLE_LETTERS)
        if (l.ch == ch) return l.rows;
    return TITLE_LETTERS[0].rows;
}

const Art &title_word_art() {
    static std::vector<std::string> rows(11);
    static Art art;
    if (art.empty()) {
        const char *word = "Brindlewick";
        for (const char *p = word; *p; p++) {
            const Art &l = title_letter(*p);
            for (size_t r = 0; r < rows.size(); r++) {
                if (p != word) rows[r] += '.';
                rows[r] += l[r];
            }
        }
        for (const std::string &r : rows) art.push_back(r.c_str());
    }
    return art;
}

const Art &icon32_art() {
    static const Art a = {
        "...kkkkkkkkkkkkkkkkkkkkkkkkkk...",
        "..kggggggggggggggggggggggggggk..",
        ".kgllllllllllllllllllllllllllgk.",
        "kglwwwwwwwwwwwwwwwwwwwwwwwwwwlgk",
        "kglwwwwwwwwwwwwwwwwwowwwwwwwwlgk",
        "kglwwwwwwwwwwwwwwwwoowwwwwwwwlgk",
        "kglwwwwwwwwwwwwwwwwooowwwwwwwlgk",
        "kglwwwwwwwwwwwwwwwooyowwwwwwwlgk",
        "kglwwwwwwwwwwwwwwwoyyoowwwwwwlgk",
        "kglwwwwwwwwwwwwwwooyyyowwwwwwlgk",
        "kglwwwwwwwwwwwwwwoyyyyowwwwwwlgk",
        "kglwwwwwwwwwwwwwwwoyyoowwwwwwlgk",
        "kglwwwwwwwwwwwwwwwwkkwwwwwwwwlgk",
        "kglwwwwwwwwwwwwwwwwccccwwwwwwlgk",
        "kglwwwwwwwwwwwwwwwwcccccwwwwwlgk",
        "kglwwwwwwwwwwwwwwwwccwcccwwwwlgk",
        "kglwwwwwwwwwwwwwwwwccwwcccwwwlgk",
        "kglwwwwwwwwwwwwwwwwccwwwccwwwlgk",
        "kglwwwwwwwwwwwwwwwwccwwwwccwwlgk",
        "kglwwwwwwwwwwwwwwwwccwwwwccwwlgk",
        "kglwwwwwwwwwwwwwwwwccwwwccwwwlgk",
        "kglwwwwwwwwwwwwwwwwccwwwcwwwwlgk",
        "kglwwwwwwwwwwwwcccccwwwwwwwwwlgk",
        "kglwwwwwwwwwwcccccccwwwwwwwwwlgk",
        "kglwwwwwwwwwcccccccccwwwwwwwwlgk",
        "kglwwwwwwwwwcccccccccwwwwwwwwlgk",
        "kglwwwwwwwwwwcccccccwwwwwwwwwlgk",
        "kglwwwwwwwwwwwcccccwwwwwwwwwwlgk",
        "kglwwwwwwwwwwwwwwwwwwwwwwwwwwlgk",
        ".kgllllllllllllllllllllllllllgk.",
        "..kggggggggggggggggggggggggggk..",
        "...kkkkkkkkkkkkkkkkkkkkkkkkkk...",
    };
    return a;
}

const Art &icon16_art() {
    static const Art a = {
        ".kkkkkkkkkkkkkk.",
        "kggggggggggggggk",
        "kgwwwwwwwowwwwgk",
        "kgwwwwwwooowwwgk",
        "kgwwwwwwoyowwwgk",
        "kgwwwwwwwkwwwwgk",
        "kgwwwwwwwcccwwgk",
        "kgwwwwwwwccccwgk",
        "kgwwwwwwwcwwcwgk",
        "kgwwwwwwwcwwcwgk",
        "kgwwwwwccccwwwgk",
        "kgwwwwcccccwwwgk",
        "kgwwwwcccccwwwgk",
        "kgwwwwwcccwwwwgk",
        "kggggggggggggggk",
        ".kkkkkkkkkkkkkk.",
    };
    return a;
}

}  // namespace skin
