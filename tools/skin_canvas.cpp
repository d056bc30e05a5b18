#include "skin_canvas.h"

#include <algorithm>
#include <cstring>

namespace skin {

static uint8_t clamp_channel(int v) { return uint8_t(std::clamp(v, 0, 255)); }

Rgb mix(Rgb a, Rgb b, int amount) {
    auto one = [amount](int p, int q) { return clamp_channel(p + ((q - p) * amount) / 256); };
    return Rgb{one(a.r, b.r), one(a.g, b.g), one(a.b, b.b)};
}

Rgb shade(Rgb c, int percent) {
    return Rgb{clamp_channel(c.r * percent / 100), clamp_channel(c.g * percent / 100),
               clamp_channel(c.b * percent / 100)};
}

Canvas::Canvas(int width, int height, Rgb fill)
    : w(width), h(height), px(size_t(width) * size_t(height), fill) {}

Rgb Canvas::get(int x, int y) const { return inside(x, y) ? px[size_t(y) * w + x] : MASK; }

void Canvas::set(int x, int y, Rgb c) {
    if (inside(x, y)) px[size_t(y) * w + x] = c;
}

void fill_rect(Canvas &c, int x, int y, int w, int h, Rgb colour) {
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++) c.set(i, j, colour);
}

void frame_rect(Canvas &c, int x, int y, int w, int h, Rgb colour) {
    fill_rect(c, x, y, w, 1, colour);
    fill_rect(c, x, y + h - 1, w, 1, colour);
    fill_rect(c, x, y, 1, h, colour);
    fill_rect(c, x + w - 1, y, 1, h, colour);
}

void vertical_gradient(Canvas &c, int x, int y, int w, int h, Rgb top, Rgb bottom) {
    for (int j = 0; j < h; j++) {
        int amount = h > 1 ? j * 256 / (h - 1) : 0;
        fill_rect(c, x, y + j, w, 1, mix(top, bottom, amount));
    }
}

void bevel(Canvas &c, int x, int y, int w, int h, Rgb light, Rgb dark, bool raised) {
    Rgb tl = raised ? light : dark;
    Rgb br = raised ? dark : light;
    fill_rect(c, x, y, w, 1, tl);
    fill_rect(c, x, y, 1, h, tl);
    fill_rect(c, x, y + h - 1, w, 1, br);
    fill_rect(c, x + w - 1, y, 1, h, br);
}

void cut_corners(Canvas &c, int x, int y, int w, int h, Rgb colour) {
    c.set(x, y, colour);
    c.set(x + w - 1, y, colour);
    c.set(x, y + h - 1, colour);
    c.set(x + w - 1, y + h - 1, colour);
}

int art_width(const std::vector<const char *> &rows) {
    size_t w = 0;
    for (const char *r : rows) w = std::max(w, std::strlen(r));
    return int(w);
}

void stamp_art(Canvas &c, int x, int y, const std::vector<const char *> &rows,
               const std::vector<ArtKey> &key) {
    for (size_t j = 0; j < rows.size(); j++)
        for (size_t i = 0; rows[j][i]; i++)
            for (const ArtKey &k : key)
                if (k.ch == rows[j][i]) c.set(x + int(i), y + int(j), k.colour);
}

void stamp_mask(Canvas &c, int x, int y, const std::vector<const char *> &rows, Rgb colour) {
    for (size_t j = 0; j < rows.size(); j++)
        for (size_t i = 0; rows[j][i]; i++)
            if (rows[j][i] != '.') c.set(x + int(i), y + int(j), colour);
}

void copy_masked(Canvas &dst, int dx, int dy, const Canvas &src, int sx, int sy, int w, int h) {
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            if (!src.inside(sx + i, sy + j)) continue;
            Rgb p = src.get(sx + i, sy + j);
            if (p != MASK) dst.set(dx + i, dy + j, p);
        }
}

Canvas enlarge(const Canvas &src, int factor) {
    Canvas out(src.w * factor, src.h * factor);
    for (int y = 0; y < out.h; y++)
        for (int x = 0; x < out.w; x++) out.set(x, y, src.get(x / factor, y / factor));
    return out;
}

}  // namespace skin
