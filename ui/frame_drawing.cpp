#include "ui/frame_drawing.h"

#include <allegro.h>

#include "app/player_state.h"
#include "playback/advance_tune.h"
#include "playback/transport.h"
#include "tunes/tune_list.h"
#include "ui/display_name.h"
#include "ui/error_line.h"
#include "ui/hit_areas.h"
#include "ui/skin.h"

static BITMAP *sheet_table(sheet_index sheet)
{
    return sheet == SHEET_SKIN ? skin_sheet : backdrop_tile;
}

void blit_from_sheet(sheet_index sheet, const sheet_rect &rect, int32_t x, int32_t y)
{
    masked_blit(sheet_table(sheet), back_buffer, rect.x1, rect.y1, x, y, rect.x2 - rect.x1,
                rect.y2 - rect.y1);
}

static void draw_piece(const sheet_rect &rect, screen_point at)
{
    blit_from_sheet(SHEET_SKIN, rect, at.x, at.y);
}

int32_t drawn_fill_width(int32_t bar_width)
{
    if (bar_width < 0)
        return 0;
    return bar_width > BAR_FULL_WIDTH ? BAR_FULL_WIDTH : bar_width;
}

void tile_backdrop()
{
    int cols = back_buffer->w / backdrop_tile->w;
    int rows = back_buffer->h / backdrop_tile->h;
    for (int r = 0; r <= rows; r++)
        for (int c = 0; c <= cols; c++)
            draw_sprite(back_buffer, backdrop_tile, c * backdrop_tile->w, r * backdrop_tile->h);
}

void draw_title_strip()
{
    draw_piece(TITLE_PIECE, TITLE_PLACE);
}

void draw_column_buttons()
{
    for (int k = 0; k < BUTTON_COUNT; k++)
        draw_piece(BUTTON_PIECES[player_state.button_lit[k] ? 1 : 0][k], BUTTON_PLACES[k]);
}

void draw_progress_bar()
{
    draw_piece(TROUGH_PIECE, TROUGH_PLACE);
    int32_t width = drawn_fill_width(player_state.bar_width);
    if (width == 0)
        return;
    sheet_rect fill = FILL_STRIP;
    fill.x1 = FILL_STRIP.x2 - width;
    draw_piece(fill, FILL_PLACE);
}

static void draw_list_row(int32_t j, char *text)
{
    int32_t n = player_state.top_row + j;
    int32_t dy = ROW_PITCH * j;
    draw_piece(ROW_PIECES[n == player_state.current_tune ? 1 : 0],
               {ROW_PLACE.x, ROW_PLACE.y + dy});
    textprintf_right_ex(back_buffer, font, ROW_NUMBER_END.x, ROW_NUMBER_END.y + dy, text_colour,
                        -1, "%d", n);
    list_text(tune_name(n - 1), text);
    textout_ex(back_buffer, font, text, ROW_NAME_PLACE.x, ROW_NAME_PLACE.y + dy, text_colour, -1);
}

void draw_list_rows()
{
    char text[LIST_TEXT_BYTES] = {};
    for (int32_t j = 0; j < VISIBLE_ROWS; j++)
        draw_list_row(j, text);
}

void draw_scroll_arrows()
{
    draw_piece(UP_ARROW_PIECES[player_state.scroll_up_held ? 1 : 0], UP_ARROW_PLACE);
    draw_piece(DOWN_ARROW_PIECES[player_state.scroll_down_held ? 1 : 0], DOWN_ARROW_PLACE);
}

void draw_error_line()
{
    textout_ex(back_buffer, font, error_line_text(), ERROR_LINE_PLACE.x, ERROR_LINE_PLACE.y,
               text_colour, -1);
}

void draw_cursor()
{
    if (mouse_on_screen())
        draw_piece(CURSOR_PIECE, {mouse_x, mouse_y});
}

void present_frame()
{
    if (!screen)
        return;
    acquire_screen();
    draw_sprite(screen, back_buffer, 0, 0);
    release_screen();
}
