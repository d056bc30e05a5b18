#include "ui/controls.h"

#include <allegro.h>

#include "app/player_state.h"
#include "playback/transport.h"
#include "playback/tune_player.h"
#include "tunes/folder_scan.h"
#include "tunes/tune_list.h"
#include "ui/hit_areas.h"
#include "ui/key_bindings.h"

constexpr int32_t SPACE_ACTED = 10;
constexpr int32_t FIRST_REPEAT_DELAY = 18;
constexpr int32_t REPEAT_DELAY = 2;

static bool mouse_inside(const hit_area &area)
{
    return mouse_x >= area.x1 && mouse_x <= area.x2 && mouse_y >= area.y1 && mouse_y <= area.y2;
}

static bool pressed_on(const hit_area &area)
{
    return (mouse_b & 1) && mouse_inside(area);
}

/* Fires action once per stretch of frames in which trigger holds. */
static void momentary(int32_t &latch, bool trigger, void (*action)())
{
    if (!trigger) {
        latch = 0;
        return;
    }
    if (latch == 0) {
        action();
        latch = 1;
    }
}

/* Flips mode between 0 and 1 once per press. */
static void toggle(int32_t &latch, int32_t &mode, bool trigger)
{
    if (!trigger) {
        latch = 0;
        return;
    }
    if (latch == 0) {
        mode = mode ? 0 : 1;
        latch = 1;
    }
}

static void rescan()
{
    clear_tune_list();
    scan_folder();
}

void rescan_control()
{
    momentary(player_state.button_lit[BUTTON_RESCAN], pressed_on(BUTTON_AREAS[BUTTON_RESCAN]),
              rescan);
}

void shuffle_control()
{
    toggle(player_state.shuffle_latch, player_state.button_lit[BUTTON_SHUFFLE],
           pressed_on(BUTTON_AREAS[BUTTON_SHUFFLE]));
}

void back_control()
{
    momentary(player_state.button_lit[BUTTON_BACK], pressed_on(BUTTON_AREAS[BUTTON_BACK]),
              go_back);
}

/* Stop and play share Space: a press (space_hold 1) goes to stop while the
 * transport runs and to play while it is stopped. Setting space_hold past 1
 * when either acts keeps the other from taking the same press. */
static void space_or_button(column_button button, bool space_wants_it, void (*action)())
{
    bool trigger = (player_state.space_hold == 1 && space_wants_it) ||
                   pressed_on(BUTTON_AREAS[button]);
    if (trigger)
        player_state.space_hold = SPACE_ACTED;
    momentary(player_state.button_lit[button], trigger, action);
}

void stop_control()
{
    space_or_button(BUTTON_STOP, player_state.transport_countdown != 0, stop_play);
}

void play_control()
{
    space_or_button(BUTTON_PLAY, player_state.transport_countdown == 0, resume_play);
}

void loop_control()
{
    toggle(player_state.loop_latch, player_state.button_lit[BUTTON_LOOP],
           pressed_on(BUTTON_AREAS[BUTTON_LOOP]));
    set_loop(player_state.button_lit[BUTTON_LOOP]);
}

void restart_control()
{
    momentary(player_state.button_lit[BUTTON_RESTART], pressed_on(BUTTON_AREAS[BUTTON_RESTART]),
              restart_play);
}

void list_row_control()
{
    for (int32_t j = 0; j < VISIBLE_ROWS; j++) {
        if (!pressed_on(row_area(j)))
            continue;
        int32_t n = player_state.top_row + j;
        if (n != player_state.current_tune && n <= player_state.tune_count)
            pick_tune(n);
    }
}

/* One scroll direction: steps at once when first held, then after
 * FIRST_REPEAT_DELAY frames, then every REPEAT_DELAY frames. Returns the
 * new top row, or top when it does not step this frame. */
static int32_t scroll_step(bool held_now, int32_t &held, int32_t &delay, int32_t top,
                           int32_t step, int32_t a)
{
    if (!held_now) {
        held = 0;
        delay = 0;
        return a;
    }
    if (held == 0) {
        delay = FIRST_REPEAT_DELAY;
        a = top + step;
        held = 1;
    }
    if (held == 1 && delay == 0) {
        delay = REPEAT_DELAY;
        a = top + step;
    }
    return a;
}

void scroll_control()
{
    player_state_record &s = player_state;
    int32_t a = s.top_row;
    a = scroll_step(pressed_on(SCROLL_UP_AREA) || key_down(KEY_FOR_SCROLL_UP), s.scroll_up_held,
                    s.scroll_up_delay, s.top_row, -1, a);
    a = scroll_step(pressed_on(SCROLL_DOWN_AREA) || key_down(KEY_FOR_SCROLL_DOWN),
                    s.scroll_down_held, s.scroll_down_delay, s.top_row, +1, a);
    if (s.scroll_up_delay > 0)
        s.scroll_up_delay--;
    if (s.scroll_down_delay > 0)
        s.scroll_down_delay--;
    if (a > s.list_length - (VISIBLE_ROWS - 1))
        a = s.list_length - (VISIBLE_ROWS - 1);
    if (a <= 0)
        a = 1;
    s.top_row = a;
}

bool exit_control()
{
    bool over = mouse_inside(BUTTON_AREAS[BUTTON_EXIT]);
    player_state.button_lit[BUTTON_EXIT] = over ? 1 : 0;
    return !((over && (mouse_b & 1)) || key_down(KEY_FOR_EXIT));
}
