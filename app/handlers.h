/* handlers.h - the two callbacks Allegro calls on its own threads.
 * tick_handler runs on the timer thread 30 times a second; close_handler on
 * the window thread when the window's close button is used. Each touches
 * only its atomic word in player_state.
 */
#ifndef APP_HANDLERS_H
#define APP_HANDLERS_H

/* Adds 1 to player_state.frame_ticks. */
void tick_handler();

/* Sets player_state.quit_requested to -1. */
void close_handler();

#endif
