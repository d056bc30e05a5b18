/* skin.h - the two skin images, the back buffer and the text colour.
 *
 * load_skin() reads "UI.bmp" (the sheet of interface pieces, at least
 * SHEET_MIN_W x SHEET_MIN_H) and "BG.bmp" (the backdrop tile) from the
 * current folder, converted to the current colour depth (set_color_depth;
 * call it after set_gfx_mode so pixels match the display's layout). When
 * either is missing, unreadable, a BMP variant the loader cannot read, or
 * the sheet is too small, it says why on stderr and uses the built-in skin
 * for both. It then makes the back buffer, WINDOW_W x WINDOW_H at the same
 * depth as the images (so masked blits and sprite draws between them work at
 * 16 bits as at 32), and samples text_colour from the sheet's pixel (24, 8).
 * Afterwards skin_sheet, backdrop_tile and back_buffer are never NULL.
 *
 * release_skin() destroys the sheet, the tile and the back buffer, in that
 * order. Both run on the initial thread, outside the frame loop.
 */
#ifndef UI_SKIN_H
#define UI_SKIN_H

#include <allegro.h>

constexpr int WINDOW_W = 288;
constexpr int WINDOW_H = 228;
constexpr int SHEET_MIN_W = 288;
constexpr int SHEET_MIN_H = 112;

extern BITMAP *skin_sheet;
extern BITMAP *backdrop_tile;
extern BITMAP *back_buffer;
extern int text_colour;

void load_skin();
void release_skin();

#endif
