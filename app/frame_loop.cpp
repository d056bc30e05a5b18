#include "app/frame_loop.h"

#include <allegro.h>

#include "app/player_state.h"
#include "playback/advance_tune.h"
#include "ui/controls.h"
#include "ui/frame_drawing.h"
#include "ui/key_bindings.h"

constexpr int32_t SPACE_HOLD_LIMIT = 10;

/* Everything a frame does before its counters, in order. */
static void (*const FRAME_STEPS[])() = {
    rescan_control,   shuffle_control,    back_control,       stop_control,
    play_control,     loop_control,       restart_control,    list_row_control,
    scroll_control,   advance_tune,       tile_backdrop,      draw_title_strip,
    draw_column_buttons, draw_progress_bar, draw_list_rows,   draw_scroll_arrows,
    draw_error_line,  draw_cursor,        present_frame,
};

static void count_frame()
{
    player_state.frame_ticks.fetch_sub(1);
    if (!key_down(KEY_FOR_STOP_RESUME))
        player_state.space_hold = 0;
    else if (player_state.space_hold <= SPACE_HOLD_LIMIT)
        player_state.space_hold++;
    if (player_state.transport_countdown > 1)
        player_state.transport_countdown--;
}

void run_frame()
{
    for (auto step : FRAME_STEPS)
        step();
    count_frame();
}

int run_frame_loop()
{
    for (;;) {
        if (!exit_control())
            break;
        if (player_state.quit_requested != 0)
            break;
        if (player_state.frame_ticks < 1) {
            rest(1);
            continue;
        }
        run_frame();
    }
    return 0;
}
