// skin_canvas: a plain RGB pixel grid and the few drawing steps the skin and
// icon makers need. Everything is integer arithmetic, so the same calls give
// the same bytes on every machine.
//
// Coordinates outside the canvas are ignored by every drawing call (nothing
// is written, nothing fails). Rectangles are x, y, width, height.
#ifndef SKIN_CANVAS_H
#define SKIN_CANVAS_H

#include <cstdint>
#include <vector>

namespace skin {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb &o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb &o) const { return !(*this == o); }
};

// Allegro's mask colour: pixels of exactly this colour are not drawn.
constexpr Rgb MASK{255, 0, 255};

// Mixes a and b; amount 0 gives a, 256 gives b.
Rgb mix(Rgb a, Rgb b, int amount);
// Scales each channel by percent (100 = unchanged), clamped to 0..255.
Rgb shade(Rgb c, int percent);

struct Canvas {
    int w = 0, h = 0;
    std::vector<Rgb> px;  // row-major, top row first

    Canvas(int width, int height, Rgb fill = MASK);
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    Rgb get(int x, int y) const;  // MASK outside the canvas
    void set(int x, int y, Rgb c);
};

void fill_rect(Canvas &c, int x, int y, int w, int h, Rgb colour);
void frame_rect(Canvas &c, int x, int y, int w, int h, Rgb colour);
// Top row `top`, bottom row `bottom`, rows between blended evenly.
void vertical_gradient(Canvas &c, int x, int y, int w, int h, Rgb top, Rgb bottom);
// Raised (light top-left, dark bottom-right) or sunken bevel of one pixel.
void bevel(Canvas &c, int x, int y, int w, int h, Rgb light, Rgb dark, bool raised);
// Sets the four corner pixels of a rectangle to `colour` (rounds a plate).
void cut_corners(Canvas &c, int x, int y, int w, int h, Rgb colour);

// Pixel art: rows of characters, top first. Each character that `key` maps
// to a colour is drawn; characters it does not map (usually '.') are left.
struct ArtKey {
    char ch;
    Rgb colour;
};
void stamp_art(Canvas &c, int x, int y, const std::vector<const char *> &rows,
               const std::vector<ArtKey> &key);
// Draws every non-'.' character of the art in one colour.
void stamp_mask(Canvas &c, int x, int y, const std::vector<const char *> &rows, Rgb colour);
int art_width(const std::vector<const char *> &rows);

// Copies a w x h block of src at (sx, sy) to dst at (dx, dy), skipping MASK.
void copy_masked(Canvas &dst, int dx, int dy, const Canvas &src, int sx, int sy, int w, int h);
// Nearest-neighbour enlargement by a whole factor.
Canvas enlarge(const Canvas &src, int factor);

}  // namespace skin

#endif
