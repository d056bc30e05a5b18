// The backdrop: a brindled walnut ground (dark streaks that wander down the
// grain) with sunken panels behind the pieces, so the button column, the
// progress bar, the list and the scroll track sit in carved recesses.
#include "skin_art.h"
#include "skin_palette.h"

namespace skin {

static uint32_t hash2(int x, int y) {
    uint32_t h = uint32_t(x) * 0x9e3779b1u ^ uint32_t(y) * 0x85ebca77u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    return h ^ (h >> 15);
}

// Smooth value noise in 0..255 on a lattice of `cell` pixels.
static int value_noise(int x, int y, int cell, int seed) {
    int gx = x / cell, gy = y / cell;
    int fx = (x % cell) * 256 / cell, fy = (y % cell) * 256 / cell;
    auto at = [&](int i, int j) { return int(hash2(gx + i + seed * 7919, gy + j) & 255); };
    int top = at(0, 0) * (256 - fx) + at(1, 0) * fx;
    int bottom = at(0, 1) * (256 - fx) + at(1, 1) * fx;
    return (top * (256 - fy) + bottom * fy) >> 16;
}

// Brindle: stripes across x whose phase drifts with slow noise down y.
static Rgb brindle(int x, int y) {
    int drift = value_noise(x, y, 24, 1) * 3 / 2 + value_noise(x, y, 9, 2) / 3;
    int phase = (x * 256 / 7 + drift * 5) & 1023;  // one stripe every ~7 px
    int streak = phase < 300 ? 180 - phase * 180 / 300 : 0;
    streak = streak * value_noise(x, y, 14, 3) / 255;
    Rgb base = mix(Rgb{66, 46, 33}, Rgb{54, 37, 27}, value_noise(x, y, 40, 4));
    Rgb ground = mix(base, Rgb{30, 20, 15}, streak);
    int fleck = int(hash2(x, y) & 15);
    return fleck == 0 ? mix(ground, WALNUT_LIGHT, 70) : ground;
}

// A carved recess: dark floor, shadowed top-left edge, lit bottom-right lip.
static void recess(Canvas &c, int x, int y, int w, int h) {
    fill_rect(c, x, y, w, h, RECESS);
    fill_rect(c, x, y, w, 2, Rgb{14, 9, 7});
    fill_rect(c, x, y, 2, h, Rgb{14, 9, 7});
    fill_rect(c, x, y + h - 1, w, 1, Rgb{96, 70, 48});
    fill_rect(c, x + w - 1, y, 1, h, Rgb{96, 70, 48});
}

Canvas make_backdrop() {
    Canvas c(WINDOW_W, WINDOW_H, Rgb{});
    for (int y = 0; y < c.h; y++)
        for (int x = 0; x < c.w; x++) c.set(x, y, brindle(x, y));
    // The button column and the list run down into one floor at the foot,
    // where the error line (y 219..226) is written.
    recess(c, 2, 24, 34, 205);    // button column, buttons at x 6..31, y 28..218
    recess(c, 36, 25, 248, 22);   // progress bar, trough at x 40..279, y 29..42
    recess(c, 36, 47, 248, 182);  // list and scroll arrows, y 50..218
    fill_rect(c, 2, 219, 281, 9, RECESS);
    // Scroll track between the arrows.
    fill_rect(c, 268, 67, 8, 135, Rgb{14, 9, 7});
    fill_rect(c, 269, 68, 6, 133, Rgb{36, 25, 19});
    fill_rect(c, 269, 200, 6, 1, Rgb{70, 50, 36});
    return c;
}

}  // namespace skin
