// skin_preview: composes one mock frame from a skin folder the way the
// program draws it (backdrop, title, buttons, bar, rows, arrows, error line,
// cursor) and saves it as a BMP, for looking at a skin without running the
// jukebox.
//
//   skin_preview SKIN_DIR OUT.bmp
//
// Runs headless (no display needed). Exits 1 when a skin file is missing.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <string>

static void piece(BITMAP *sheet, BITMAP *dst, int x1, int y1, int x2, int y2, int x, int y) {
    masked_blit(sheet, dst, x1, y1, x, y, x2 - x1, y2 - y1);
}

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: skin_preview SKIN_DIR OUT.bmp\n");
        return 2;
    }
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    std::string dir = argv[1];
    BITMAP *sheet = load_bitmap((dir + "/UI.bmp").c_str(), nullptr);
    BITMAP *tile = load_bitmap((dir + "/BG.bmp").c_str(), nullptr);
    if (!sheet || !tile) {
        std::fprintf(stderr, "skin_preview: cannot load the skin in %s\n", dir.c_str());
        return 1;
    }
    BITMAP *frame = create_bitmap_ex(32, 288, 228);
    clear_to_color(frame, makecol(0, 0, 0));
    int text = getpixel(sheet, 24, 8);
    for (int r = 0; r <= 228 / tile->h; r++)
        for (int c = 0; c <= 288 / tile->w; c++) draw_sprite(frame, tile, c * tile->w, r * tile->h);
    piece(sheet, frame, 0, 78, 288, 98, 0, 0);
    const int lit[8] = {0, 1, 0, 0, 1, 0, 0, 1};  // shuffle on, play held, exit hovered
    for (int k = 0; k < 8; k++) {
        int y = lit[k] ? 16 : 0;
        piece(sheet, frame, 32 + 26 * k, y, 58 + 26 * k, y + 16, 6, 28 + 25 * k);
    }
    const int bar = 150;
    piece(sheet, frame, 0, 64, 240, 78, 40, 29);
    piece(sheet, frame, 240 - bar, 100, 240, 112, 41, 30);
    const char *names[10] = {"Amber Lanterns", "Brindle Waltz", "Copper Kettle March",
                             "Dusk Over the Moor", "Ember Reel", "Firefly Lullaby",
                             "Gaslight Galop", "a_very_long_tune_nam...", "", ""};
    for (int j = 0; j < 10; j++) {
        int n = 1 + j, current = 3;
        int y = n == current ? 48 : 32;
        piece(sheet, frame, 0, y, 220, y + 16, 40, 50 + 17 * j);
        textprintf_right_ex(frame, font, 67, 55 + 17 * j, text, -1, "%d", n);
        textout_ex(frame, font, names[j], 74, 54 + 17 * j, text, -1);
    }
    piece(sheet, frame, 220, 48, 236, 64, 264, 50);  // up held
    piece(sheet, frame, 236, 32, 252, 48, 264, 203);
    textout_ex(frame, font, "no audio device, silent", 2, 219, text, -1);
    piece(sheet, frame, 0, 0, 16, 16, 150, 120);
    if (save_bitmap(argv[2], frame, nullptr) != 0) {
        std::fprintf(stderr, "skin_preview: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
END_OF_MAIN()
