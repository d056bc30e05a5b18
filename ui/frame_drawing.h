/* frame_drawing.h - the drawing steps of a frame, in the order the frame
 * loop calls them.
 *
 * Every step draws into back_buffer (ui/skin.h) from player_state, the tune
 * list and the tune player; present_frame() then copies the back buffer to
 * the screen in one sprite draw (mask-coloured pixels are not copied). The
 * back buffer is never cleared: where the backdrop tile has mask-coloured
 * pixels, the previous frame shows through. Worker thread only; needs
 * load_skin() to have run.
 */
#ifndef UI_FRAME_DRAWING_H
#define UI_FRAME_DRAWING_H

#include <cstdint>

#include "ui/sheet_pieces.h"

enum sheet_index : int { SHEET_SKIN = 0, SHEET_BACKDROP = 1 };

/* masked_blit of rect from the sheet to the back buffer at (x, y). */
void blit_from_sheet(sheet_index sheet, const sheet_rect &rect, int32_t x, int32_t y);

/* The width of progress fill drawn for a bar_width: bar_width limited to
 * 0..240. */
int32_t drawn_fill_width(int32_t bar_width);

void tile_backdrop();
void draw_title_strip();
void draw_column_buttons();
void draw_progress_bar();
void draw_list_rows();
void draw_scroll_arrows();
void draw_error_line();
/* The program's own cursor, only while the mouse is over the window. */
void draw_cursor();
/* Does nothing when there is no screen (graphics not set up). */
void present_frame();

#endif
