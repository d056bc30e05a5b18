// The sheet of pieces. Positions are the fixed layout the program cuts the
// sheet with: cursor at (0,0), text colour sample at (24,8), buttons from
// x 32 in steps of 26 (normal row 0, lit row 16), list rows at y 32 and 48,
// arrows at x 220 and 236, trough at y 64, title at y 78, fill at y 100.
#include <cstddef>

#include "skin_art.h"
#include "skin_glyphs.h"
#include "skin_palette.h"

namespace skin {

static void draw_cursor(Canvas &c) {
    stamp_art(c, 0, 0, cursor_art(), {{'o', INK}, {'#', CREAM}, {'h', FLAME}});
}

// A small swatch around the sampled pixel, so a skin maker sees it.
static void draw_text_sample(Canvas &c) {
    fill_rect(c, 20, 4, 9, 9, INK);
    fill_rect(c, 21, 5, 7, 7, CREAM);
}

// Glyph centred in a w x h plate, with a one-pixel shadow down-right.
static void draw_centred(Canvas &c, int x, int y, int w, int h, const Art &art, Rgb ink,
                         Rgb shadow, int nudge) {
    int gx = x + (w - art_width(art)) / 2;
    int gy = y + (h - int(art.size())) / 2 + nudge;
    stamp_mask(c, gx + 1, gy + 1, art, shadow);
    stamp_mask(c, gx, gy, art, ink);
}

struct PlateLook {
    Rgb top, bottom, rim_light, rim_dark, glyph, glyph_shadow;
};

static const PlateLook BUTTON_NORMAL{WALNUT_LIGHT, WALNUT_DARK, BRONZE, INK, CREAM, INK};
static const PlateLook BUTTON_LIT{AMBER_LIGHT, AMBER, FLAME, AMBER_DEEP, INK, Rgb{255, 226, 150}};
static const PlateLook EXIT_LIT{Rgb{236, 104, 72}, EMBER_RED, Rgb{255, 170, 130}, EMBER_DARK,
                                FLAME, EMBER_DARK};

static void draw_plate(Canvas &c, int x, int y, int w, int h, const PlateLook &look) {
    frame_rect(c, x, y, w, h, INK);
    vertical_gradient(c, x + 1, y + 1, w - 2, h - 2, look.top, look.bottom);
    bevel(c, x + 1, y + 1, w - 2, h - 2, look.rim_light, look.rim_dark, true);
    cut_corners(c, x, y, w, h, MASK);
}

static void draw_buttons(Canvas &c) {
    for (int k = 0; k < 8; k++) {
        int x = 32 + 26 * k;
        draw_plate(c, x, 0, 26, 16, BUTTON_NORMAL);
        draw_centred(c, x, 0, 26, 16, button_glyph(k), BUTTON_NORMAL.glyph,
                     BUTTON_NORMAL.glyph_shadow, 0);
        const PlateLook &lit = k == 7 ? EXIT_LIT : BUTTON_LIT;
        draw_plate(c, x, 16, 26, 16, lit);
        draw_centred(c, x, 16, 26, 16, button_glyph(k), lit.glyph, lit.glyph_shadow, 0);
    }
}

// List rows: a number well (the program right-aligns the number to end at
// x 27 of the row) and the name field from x 34.
static void draw_row(Canvas &c, int y, bool current) {
    Rgb top = current ? Rgb{150, 78, 30} : Rgb{54, 38, 29};
    Rgb bottom = current ? AMBER_DEEP : Rgb{40, 28, 22};
    vertical_gradient(c, 0, y, 220, 16, top, bottom);
    fill_rect(c, 0, y, 220, 1, current ? Rgb{200, 118, 52} : Rgb{74, 53, 39});
    fill_rect(c, 0, y + 15, 220, 1, current ? Rgb{92, 44, 18} : Rgb{32, 22, 17});
    Rgb well = current ? Rgb{104, 50, 20} : Rgb{34, 24, 19};
    fill_rect(c, 1, y + 2, 29, 12, well);
    fill_rect(c, 1, y + 2, 29, 1, shade(well, 70));
    fill_rect(c, 30, y + 2, 1, 12, current ? Rgb{170, 96, 42} : Rgb{66, 47, 35});
    cut_corners(c, 0, y, 220, 16, MASK);
}

static void draw_arrow(Canvas &c, int x, int y, bool up, bool held) {
    const PlateLook &look = held ? BUTTON_LIT : BUTTON_NORMAL;
    draw_plate(c, x, y, 16, 16, look);
    draw_centred(c, x, y, 16, 16, up ? arrow_up_glyph() : arrow_down_glyph(), look.glyph,
                 look.glyph_shadow, held ? 1 : 0);
}

static void draw_trough(Canvas &c) {
    fill_rect(c, 0, 64, 240, 14, RECESS);
    bevel(c, 0, 64, 240, 14, WALNUT_LIGHT, INK, false);
    fill_rect(c, 1, 65, 238, 1, Rgb{14, 9, 7});
    // Faint measure ticks along the channel.
    for (int x = 20; x < 239; x += 20) fill_rect(c, x, 72, 1, 4, Rgb{40, 28, 22});
}

// The fill is cut from the right end of this strip, so its right end is the
// bar's leading edge: a glowing ember. The last two columns stay clear so a
// full bar ends inside the trough's channel.
static void draw_fill(Canvas &c) {
    for (int x = 0; x < 238; x++) {
        int heat = x >= 200 ? (x - 200) * 256 / 38 : 0;
        Rgb top = mix(Rgb{232, 150, 52}, FLAME, heat);
        Rgb bottom = mix(Rgb{150, 66, 22}, AMBER, heat);
        vertical_gradient(c, x, 100, 1, 12, top, bottom);
        c.set(x, 101, mix(c.get(x, 101), FLAME, 128));
    }
    fill_rect(c, 234, 100, 4, 12, FLAME);
    fill_rect(c, 236, 102, 2, 8, Rgb{255, 255, 228});
}

static void draw_title(Canvas &c) {
    const int y = 78;
    vertical_gradient(c, 0, y, 288, 20, Rgb{70, 49, 35}, Rgb{30, 20, 15});
    fill_rect(c, 0, y, 288, 1, BRONZE);
    fill_rect(c, 0, y + 1, 288, 1, Rgb{104, 76, 50});
    fill_rect(c, 0, y + 18, 288, 1, BRONZE);
    fill_rect(c, 0, y + 19, 288, 1, INK);
    const Art &word = title_word_art();
    int ww = art_width(word);
    int wx = (288 - ww) / 2;
    int wy = y + 4;
    stamp_mask(c, wx + 1, wy + 1, word, INK);
    for (std::size_t r = 0; r < word.size(); r++) {
        Rgb col = mix(FLAME, AMBER, int(r) * 256 / 10);
        stamp_mask(c, wx, wy + int(r), {word[r]}, col);
    }
    // Engraved rules out to the candles on either side.
    for (int side = 0; side < 2; side++) {
        int x0 = side == 0 ? 22 : wx + ww + 10;
        int x1 = side == 0 ? wx - 10 : 266;
        fill_rect(c, x0, y + 9, x1 - x0, 1, BRONZE);
        fill_rect(c, x0, y + 10, x1 - x0, 1, INK);
        int cx = side == 0 ? 8 : 273;
        stamp_art(c, cx, y + 2, candle_art(),
                  {{'o', AMBER}, {'y', FLAME}, {'w', INK}, {'c', CREAM},
                   {'s', Rgb{196, 170, 132}}, {'b', BRASS}});
    }
}

Canvas make_sheet() {
    Canvas c(SHEET_W, SHEET_H, MASK);
    draw_cursor(c);
    draw_text_sample(c);
    draw_buttons(c);
    draw_row(c, 32, false);
    draw_row(c, 48, true);
    draw_arrow(c, 220, 32, true, false);
    draw_arrow(c, 220, 48, true, true);
    draw_arrow(c, 236, 32, false, false);
    draw_arrow(c, 236, 48, false, true);
    draw_trough(c);
    draw_title(c);
    draw_fill(c);
    return c;
}

}  // namespace skin
