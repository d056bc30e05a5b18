/* player_state.h - the one record of interaction and transport state.
 *
 * Tune numbers here count from 1 as shown on screen; the tune table's slots
 * count from 0 (slot n - 1 holds tune n).
 *
 * Threads: after start-up every field belongs to the worker thread, except
 * frame_ticks (raised by the timer thread's tick handler) and quit_requested
 * (set by the window's close handler), which are atomic for that reason.
 */
#ifndef APP_PLAYER_STATE_H
#define APP_PLAYER_STATE_H

#include <atomic>
#include <cstdint>

constexpr int BUTTON_COUNT = 8;

/* Column buttons, top to bottom; also the index into button_lit. */
enum column_button : int {
    BUTTON_RESCAN = 0,
    BUTTON_SHUFFLE = 1,
    BUTTON_BACK = 2,
    BUTTON_STOP = 3,
    BUTTON_PLAY = 4,
    BUTTON_RESTART = 5,
    BUTTON_LOOP = 6,
    BUTTON_EXIT = 7,
};

struct player_state_record {
    int32_t list_length = 10;          /* rows scrolling can reach, at least 10 */
    int32_t top_row = 1;               /* tune number in the first visible row */
    int32_t current_tune = 1;
    int32_t previous_tune = 1;
    int32_t tune_count = 0;            /* tunes found by the last scan */
    int32_t resume_position = 0;       /* engine position from the last stop */
    int32_t transport_countdown = 0;   /* 0 stopped, 1 armed, 2..10 settling */
    int32_t space_hold = 0;            /* frames Space has been down, up to 11 */
    std::atomic<int32_t> quit_requested{0};  /* -1 after the close button, or an ending signal */
    std::atomic<int32_t> frame_ticks{0};     /* timer ticks not yet worked off */
    int32_t button_lit[BUTTON_COUNT] = {};   /* latch, mode or hover per button */
    int32_t shuffle_latch = 0;
    int32_t loop_latch = 0;
    int32_t scroll_up_held = 0;
    int32_t scroll_down_held = 0;
    int32_t scroll_up_delay = 0;
    int32_t scroll_down_delay = 0;
    int32_t bar_width = 0;             /* progress fill in pixels, unclamped */
};

extern player_state_record player_state;

#endif
