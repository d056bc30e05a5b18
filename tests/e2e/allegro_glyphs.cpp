// allegro_glyphs: prints the pixels of Allegro's built-in font, so the tests
// can tell what text the program drew without guessing at the font.
//
//   allegro_glyphs     (needs no display)
//
// One line per character 32..126 and 160..255 (the font has Latin-1 too, and
// file names may hold it): its code, its width, then one hex word per pixel
// row of the glyph, bit (width - 1 - x) set where pixel x is drawn.
// Exits 0, or 1 when Allegro cannot start.
#include <allegro.h>

#include <cerrno>
#include <cstdio>

int main()
{
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 1;
    set_color_depth(32);
    const int ink = makecol(255, 255, 255);
    const int h = text_height(font);
    for (int code = 32; code <= 255; code++) {
        if (code > 126 && code < 160)
            continue;
        char text[8] = {};
        usetc(text, code);  // the text is UTF-8
        const int w = text_length(font, text);
        BITMAP *cell = create_bitmap_ex(32, w > 0 ? w : 1, h);
        clear_to_color(cell, 0);
        textout_ex(cell, font, text, 0, 0, ink, -1);
        std::printf("%d %d", code, w);
        for (int y = 0; y < h; y++) {
            unsigned row = 0;
            for (int x = 0; x < w; x++)
                row = row << 1 | (getpixel(cell, x, y) == ink ? 1u : 0u);
            std::printf(" %x", row);
        }
        std::printf("\n");
        destroy_bitmap(cell);
    }
    return 0;
}
END_OF_MAIN()
